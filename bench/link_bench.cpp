// The receive path: bytes per second from a pseudo-terminal through the receiver, the
// line store and the capture file, beside what `cat` moves through the same kind of
// pseudo-terminal into a file in the same run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "core/link/link.h"
#include "quiet_desktop.h"

namespace {

using namespace kestrel;
using bench::QuietDesktop;
using Clock = std::chrono::steady_clock;

constexpr std::size_t burst_bytes = 8 << 20;

struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master);
        ::unlockpt(master);
        char name[128] = {};
        ::ptsname_r(master, name, sizeof name);
        slave = name;
    }
    ~Pty() { ::close(master); }
};

std::string traffic() {
    std::string line(78, 'k');
    line += "\r\n";
    std::string all;
    while (all.size() + line.size() <= burst_bytes) all += line;
    all.append(burst_bytes - all.size(), 'k');
    return all;
}

void write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
    }
}

void wait_for_size(const std::string& path, std::uintmax_t size) {
    std::error_code ec;
    while (std::filesystem::file_size(path, ec) < size) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// `cat` from a raw pty slave into a file: the ceiling this kind of line allows.
double cat_bytes_per_second(const std::string& bytes, const std::string& out_path) {
    Pty pty;
    int keep = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    ::tcgetattr(keep, &t);
    cfmakeraw(&t);
    ::tcsetattr(keep, TCSANOW, &t);
    pid_t child = ::fork();
    if (child == 0) {
        int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::execlp("cat", "cat", pty.slave.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // cat must be reading before the clock starts.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = Clock::now();
    write_all(pty.master, bytes);
    wait_for_size(out_path, bytes.size());
    double rate = static_cast<double>(bytes.size()) / seconds_since(start);
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ::close(keep);
    return rate;
}

void BM_ReceivePathWithCapture(benchmark::State& state) {
    char dir_pattern[] = "/tmp/kestrel-bench-XXXXXX";
    std::string dir = ::mkdtemp(dir_pattern);
    std::string bytes = traffic();

    Pty pty;
    QuietDesktop desktop;
    desktop.chosen = dir + "/capture.txt";
    LineStore store{desktop};
    store.first_sized(24);
    Backscroll backscroll{store, desktop};
    Capture capture{desktop, store};
    Settings settings;
    settings.port_devices[0].assign(pty.slave);
    settings.port.dsr_watch = 0;
    settings.port.flow_control = 3;
    Link link(store, backscroll, capture, settings, desktop);
    if (!link.open_port()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    capture.start_download(dir);

    std::uintmax_t captured = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        write_all(pty.master, bytes);
        captured += bytes.size();
        wait_for_size(*desktop.chosen, captured);
        state.SetIterationTime(seconds_since(start));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(captured));
    link.close_port();
    capture.end_download();

    double cat_rate = cat_bytes_per_second(bytes, dir + "/cat.txt");
    state.counters["cat_bytes_per_second"] = cat_rate;
    std::printf("receive path: the same pty under cat moves %.1f MB/s\n", cat_rate / 1e6);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReceivePathWithCapture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
