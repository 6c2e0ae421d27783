#pragma once
// The call service's HTTP side: the JSON API, the event stream and the status
// page, around QHttpServer (whose API changed in Qt 6.8, so nothing else of
// ours touches it). Every handler runs on the server's thread and only asks the
// CallDesk, which answers at once; screen actions are answered when the desk
// calls back. Nothing here writes files.
#include <QObject>
#include <QString>
#include <memory>

namespace service {

class CallDesk;

struct FrontOptions {
    QString listen = QStringLiteral("127.0.0.1:8356"); // HOST:PORT; port 0 takes a free one
    QString tokenFile; // holds the bearer token; required to listen beyond loopback
};

class HttpFront : public QObject {
    Q_OBJECT
  public:
    HttpFront(CallDesk &desk, const FrontOptions &options, QObject *parent = nullptr);
    ~HttpFront() override;

    // Reads the token file and starts listening; false with the reason in words.
    bool listen(QString *error);
    // "http://HOST:PORT" with the port actually listened on.
    QString url() const;
    // Event-stream clients still connected.
    int eventClients() const;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace service
