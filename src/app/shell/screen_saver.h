#pragma once
// Waking the screen after a bell: the desktop's screen-saver service on the session bus
// (org.freedesktop.ScreenSaver, SimulateUserActivity), or `xdg-screensaver reset` where
// only that exists; nothing on a desktop with neither.
//
// Asking may take a while (a bus round trip, a helper program), and the receiver asks with
// the line-store lock held, so the work runs on a worker of its own. At most one release is
// in flight: a request made while one runs is dropped, since the screen is being woken
// anyway. How often requests come is the line store's business (SaverThrottle).

#include <QThreadPool>
#include <atomic>
#include <functional>

namespace kestrel::app {

class ScreenSaverRelease {
public:
    // `woken` runs on the worker after each release that reached a service.
    explicit ScreenSaverRelease(std::function<void()> woken);
    // Waits for a release in flight.
    ~ScreenSaverRelease();
    ScreenSaverRelease(const ScreenSaverRelease&) = delete;
    ScreenSaverRelease& operator=(const ScreenSaverRelease&) = delete;

    // Any thread; never waits.
    void request();

private:
    std::function<void()> woken_;
    std::atomic<bool> busy_{false};
    QThreadPool worker_;
};

}  // namespace kestrel::app
