#include "app/shell/screen_saver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>

namespace kestrel::app {

namespace {

constexpr int bus_timeout_ms = 2000;
constexpr int helper_timeout_ms = 5000;

// True when a screen-saver service on the session bus took the request.
bool ask_session_bus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
    // The object lives at the interface's own path on most desktops, at /ScreenSaver on some.
    for (const QString& path :
         {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")}) {
        const QDBusMessage reply =
            bus.call(QDBusMessage::createMethodCall(service, path, service,
                                                    QStringLiteral("SimulateUserActivity")),
                     QDBus::Block, bus_timeout_ms);
        if (reply.type() == QDBusMessage::ReplyMessage) return true;
        if (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")) {
            return false;
        }
    }
    return false;
}

bool run_xdg_screensaver() {
    const QString helper = QStandardPaths::findExecutable(QStringLiteral("xdg-screensaver"));
    if (helper.isEmpty()) return false;
    QProcess process;
    process.start(helper, {QStringLiteral("reset")});
    if (!process.waitForStarted(helper_timeout_ms)) return false;
    if (!process.waitForFinished(helper_timeout_ms)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

ScreenSaverRelease::ScreenSaverRelease(std::function<void()> woken) : woken_(std::move(woken)) {
    worker_.setMaxThreadCount(1);
}

ScreenSaverRelease::~ScreenSaverRelease() { worker_.waitForDone(); }

void ScreenSaverRelease::request() {
    if (busy_.exchange(true)) return;
    worker_.start([this] {
        if ((ask_session_bus() || run_xdg_screensaver()) && woken_) woken_();
        busy_ = false;
    });
}

}  // namespace kestrel::app
