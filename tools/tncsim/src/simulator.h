#pragma once
// The single-threaded poll loop: moves bytes between the pseudo-terminal and the TNC, paces
// station traffic, follows the line settings and the terminal coming and going.

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "bbs.h"
#include "cluster.h"
#include "options.h"
#include "output_queue.h"
#include "pty.h"
#include "tnc.h"

namespace tncsim {

class Simulator {
public:
    Simulator(const Options& options, Pty& pty);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Runs until stop is set (from a signal handler) or the terminal hangs up with
    // exit_on_hangup. Signals that set stop must be blocked when this is called.
    void run(const volatile std::sig_atomic_t& stop);

private:
    void attach();
    void detach();
    void read_terminal();
    void write_terminal();
    void check_settings();
    void log(const std::string& text);

    const Options& options_;
    Pty& pty_;
    OutputQueue out_;
    Bbs bbs_;
    Cluster cluster_;
    Tnc tnc_;
    std::string script_;
    int record_fd_ = -1;
    std::FILE* settings_log_ = nullptr;
    std::string last_settings_;
    bool attached_ = false;
    bool ever_attached_ = false;
    bool got_input_ = false;
    bool reports_changes_ = true;
    bool hung_up_ = false;
};

}  // namespace tncsim
