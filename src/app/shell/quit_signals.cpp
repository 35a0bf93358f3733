#include "app/shell/quit_signals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace kestrel::app {

namespace {

int signal_pipe[2] = {-1, -1};

// Only an async-signal-safe write: the GUI thread does the rest.
extern "C" void on_quit_signal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(signal_pipe[0], &byte, 1);
}

}  // namespace

void close_on_quit_signals(std::function<void()> close) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
    auto* notifier = new QSocketNotifier(signal_pipe[1], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [close = std::move(close)] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signal_pipe[1], &byte, 1);
        close();
    });
    struct sigaction action {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace kestrel::app
