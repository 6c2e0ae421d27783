#pragma once
// A CallDesk for the HTTP front's tests: screen 1 only, records what it was
// asked, refuses an empty text as the window does, and leaves screen actions
// pending until the test answers them.
#include "service/CallDesk.h"

#include <QDateTime>
#include <QList>
#include <functional>
#include <map>

class FakeDesk : public service::CallDesk {
  public:
    struct Action {
        int screen = 0;
        service::ScreenAction action;
        std::function<void(const service::ActionResult &)> done;
    };

    QList<service::Call> queued; // every call accept() queued, in order
    std::map<QString, service::Call> known;
    QList<Action> actions;
    QByteArray png = QByteArrayLiteral("\x89PNG fake");

    FakeDesk() {
        m_screen.number = 1;
        m_screen.name = QStringLiteral("一号窗口");
        m_screen.port = 3;
        m_screen.baud = QStringLiteral("9600");
        m_screen.address = 1;
    }

    // A call as the service would announce it.
    service::Call emitCall(const QString &id, const QString &text,
                           service::CallState state = service::CallState::Queued) {
        service::Call call;
        call.id = id;
        call.screen = 1;
        call.text = text;
        call.state = state;
        call.accepted = QDateTime::currentDateTimeUtc();
        known[id] = call;
        emit callChanged(call);
        return call;
    }

    QList<service::ScreenStatus> screens() const override { return {m_screen}; }
    std::optional<service::ScreenStatus> screen(int number) const override {
        if (number != 1) return std::nullopt;
        return m_screen;
    }
    service::Accepted accept(int screen, const service::CallRequest &request) override {
        service::Accepted answer;
        if (screen != 1) {
            answer.status = service::Accepted::Status::NoSuchScreen;
        } else if (request.text.isEmpty()) {
            answer.status = service::Accepted::Status::Refused;
            answer.error = QStringLiteral("请输入汉字");
        } else if (known.count(request.id)) {
            answer.status = service::Accepted::Status::Known;
            answer.call = known[request.id];
        } else {
            answer.status = service::Accepted::Status::Queued;
            service::Call &call = answer.call;
            call.id =
                request.id.isEmpty() ? QStringLiteral("c-%1").arg(queued.size() + 1) : request.id;
            call.screen = screen;
            call.line = request.line;
            call.text = request.text;
            call.colour = request.colour.value_or(147);
            call.minDisplayMs = request.minDisplayMs.value_or(-1);
            call.lossy = request.lossy;
            call.accepted = QDateTime::currentDateTimeUtc();
            known[call.id] = call;
            queued.append(call);
        }
        return answer;
    }
    std::optional<service::Call> call(const QString &id) const override {
        const auto found = known.find(id);
        if (found == known.end()) return std::nullopt;
        return found->second;
    }
    Cancel cancel(const QString &id) override {
        const auto found = known.find(id);
        if (found == known.end()) return Cancel::NotFound;
        if (found->second.state != service::CallState::Queued) return Cancel::NotQueued;
        found->second.state = service::CallState::Cancelled;
        return Cancel::Cancelled;
    }
    void act(int screen, const service::ScreenAction &action,
             const std::function<void(const service::ActionResult &)> &done) override {
        actions.append({screen, action, done});
    }
    QByteArray picturePng(int screen) const override { return screen == 1 ? png : QByteArray(); }
    QList<service::LineHealth> health() const override {
        return {service::LineHealth{3, true, {}}};
    }

  private:
    service::ScreenStatus m_screen;
};
