#pragma once
// The simulated TNC as a child process; its first line of output names the pty slave.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace kestrel::testing {

class TncsimChild {
public:
    static bool available() {
#ifdef TNCSIM_PATH
        return ::access(TNCSIM_PATH, X_OK) == 0;
#else
        return false;
#endif
    }

    explicit TncsimChild(std::vector<std::string> args) {
#ifdef TNCSIM_PATH
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        args.insert(args.begin(), TNCSIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_fd_ = out[0];
        char c;
        while (::read(stdout_fd_, &c, 1) == 1 && c != '\n') slave_path_ += c;
#else
        (void)args;
#endif
    }
    ~TncsimChild() {
        stop();
        if (stdout_fd_ >= 0) ::close(stdout_fd_);
    }
    TncsimChild(const TncsimChild&) = delete;
    TncsimChild& operator=(const TncsimChild&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    // Ends it; its pty master closes with it.
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int stdout_fd_ = -1;
    std::string slave_path_;
};

}  // namespace kestrel::testing
