#pragma once
// tncsim run as a child process, as a terminal meets it: its first line of output names the
// pseudo-terminal to open.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tncsim_test {

// A fresh directory for one test's files, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

class TncsimProcess {
public:
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

}  // namespace tncsim_test
