#include "tncsim_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace kestrel::testing {
namespace {

constexpr auto deadline = std::chrono::seconds(30);

int status_of(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

bool TncsimProcess::available() { return access(TNCSIM_PATH, X_OK) == 0; }

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TncsimProcess::TncsimProcess(const std::vector<std::string>& args) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::FILE* log = std::tmpfile();
    if (log == nullptr) throw std::runtime_error("tmpfile");
    stderr_fd_ = dup(fileno(log));
    std::fclose(log);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(stderr_fd_, STDERR_FILENO);
        std::vector<char*> argv;
        std::string program = TNCSIM_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);

    // The first line is the slave's path; it is printed once the line is ready.
    const auto until = std::chrono::steady_clock::now() + deadline;
    char c = 0;
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{out[0], POLLIN, 100};
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
    if (pid_ > 0) stop();
    if (::testing::Test::HasFailure()) {
        std::string said(1 << 16, '\0');
        const ssize_t n = pread(stderr_fd_, said.data(), said.size(), 0);
        said.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        std::fprintf(stderr, "tncsim's stderr:\n%s", said.c_str());
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
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < until) {
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
