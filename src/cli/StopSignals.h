#pragma once
// SIGINT and SIGTERM delivered as a call in the event loop, for commands
// that run until the operator stops them. The handlers are in place while
// the object lives; the previous ones come back afterwards.
#include <QObject>
#include <functional>
#include <memory>

namespace cli {

class StopSignals : public QObject {
    Q_OBJECT
  public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals() override;

  private:
    struct Handlers;
    std::unique_ptr<Handlers> m_handlers;
    std::function<void()> m_onStop;
};

} // namespace cli
