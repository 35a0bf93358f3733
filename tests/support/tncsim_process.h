#pragma once
// tncsim run as a child process, as a terminal meets it: its first line of output names the
// pseudo-terminal to open. Every test that needs a simulated TNC starts it through here.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace kestrel::testing {

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

// tncsim is built with the tests; TNCSIM_PATH names it.
class TncsimProcess {
public:
    static bool available();

    explicit TncsimProcess(const std::vector<std::string>& args = {});
    // Stops it with SIGTERM if it still runs.
    ~TncsimProcess();
    TncsimProcess(const TncsimProcess&) = delete;
    TncsimProcess& operator=(const TncsimProcess&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    // SIGTERM, then its exit status (-1 unless it exited normally).
    int stop();
    // Its exit status once it ends by itself; nothing if it has not ended by a generous deadline.
    std::optional<int> wait_for_exit();

private:
    pid_t pid_ = -1;
    int stderr_fd_ = -1;  // what it said, shown when the test fails
    std::string slave_path_;
};

}  // namespace kestrel::testing
