#include "tncsim_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace kestrel::testing {
namespace {

using std::chrono::steady_clock;
// Only keeps a broken run from hanging.
constexpr auto deadline = std::chrono::seconds(30);

int status_of(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

bool TncsimProcess::available() { return access(TNCSIM_PATH, X_OK) == 0; }

TncsimProcess::TncsimProcess(std::vector<std::string> args) {
    int out[2];
    stderr_fd_ = memfd_create("tncsim-stderr", MFD_CLOEXEC);
    if (pipe2(out, O_CLOEXEC) != 0 || stderr_fd_ < 0) throw std::runtime_error("pipe, memfd");
    std::vector<char*> argv = {const_cast<char*>(TNCSIM_PATH)};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&files, stderr_fd_, STDERR_FILENO);
    if (posix_spawn(&pid_, TNCSIM_PATH, &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
    close(out[1]);
    // The first line is the slave's path; it is printed once the line is ready.
    char c = 0;
    for (auto end = steady_clock::now() + deadline; pid_ > 0 && steady_clock::now() < end;) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        if (read(out[0], &c, 1) != 1 || c == '\n') break;
        slave_path_.push_back(c);
    }
    close(out[0]);
    if (c != '\n' || slave_path_.empty()) {
        stop();
        close(stderr_fd_);
        throw std::runtime_error("tncsim printed no slave path");
    }
}

TncsimProcess::~TncsimProcess() {
    stop();
    char said[1 << 16] = {};
    if (::testing::Test::HasFailure() && pread(stderr_fd_, said, sizeof said - 1, 0) > 0) {
        std::fprintf(stderr, "tncsim's stderr:\n%s", said);
    }
    close(stderr_fd_);
}

int TncsimProcess::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status_of(status);
}

std::optional<int> TncsimProcess::wait_for_exit() {
    for (auto end = steady_clock::now() + deadline; steady_clock::now() < end;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status_of(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

}  // namespace kestrel::testing
