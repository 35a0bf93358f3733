#pragma once
// tncsim run as a child process, as a terminal meets it: its first line of output names the
// pseudo-terminal to open. Every test that needs a simulated TNC starts it through here.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kestrel::testing {

// tncsim is built with the tests; TNCSIM_PATH names it. What it wrote to stderr is shown
// when the test has failed.
class TncsimProcess {
public:
    static bool available();

    explicit TncsimProcess(std::vector<std::string> args = {});
    ~TncsimProcess();  // stops it if it still runs
    TncsimProcess(const TncsimProcess&) = delete;
    TncsimProcess& operator=(const TncsimProcess&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    // SIGTERM, then its exit status (-1 unless it exited normally).
    int stop();
    // Its exit status once it ends by itself; nothing if it has not ended by a generous deadline.
    std::optional<int> wait_for_exit();

private:
    pid_t pid_ = -1;
    int stderr_fd_ = -1;
    std::string slave_path_;
};

}  // namespace kestrel::testing
