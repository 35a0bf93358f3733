// tncsim: a simulated TNC on a pseudo-terminal. See help_text() for what it does.

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>

#include "options.h"
#include "pty.h"
#include "simulator.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void request_stop(int) { stop_requested = 1; }

// Signals stay blocked except inside the loop's wait, so none is lost between a check and it.
void take_over_signals() {
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(s, &action, nullptr);
        sigaddset(&blocked, s);
    }
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool make_link(const std::string& link, const std::string& target) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(link.c_str());
    if (symlink(target.c_str(), link.c_str()) == 0) return true;
    std::perror(("tncsim: symlink " + link).c_str());
    return false;
}

void remove_link(const std::string& link, const std::string& target) {
    char buffer[512];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
    if (n > 0 && std::string(buffer, static_cast<std::size_t>(n)) == target) unlink(link.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const tncsim::ParsedOptions parsed = tncsim::parse_options(argc, argv);
    if (parsed.help) {
        std::fputs(tncsim::help_text().c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "tncsim: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    const tncsim::Options& options = parsed.options;
    take_over_signals();

    try {
        tncsim::Pty pty;
        tncsim::Simulator simulator(options, pty);
        if (!options.link.empty() && !make_link(options.link, pty.slave_path())) return 1;

        std::printf("%s\n", pty.slave_path().c_str());
        std::fflush(stdout);
        std::fprintf(stderr,
                     "tncsim: %s: a pseudo-terminal has no modem lines, so DSR never rises: "
                     "turn the terminal's DSR watch off (ADD_DSR=0). It carries no break either: "
                     "Ctrl-C returns to command mode.\n",
                     pty.slave_path().c_str());

        simulator.run(stop_requested);
        if (!options.link.empty()) remove_link(options.link, pty.slave_path());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tncsim: %s\n", e.what());
        return 1;
    }
    return 0;
}
