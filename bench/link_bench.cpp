// The receive path: bytes per second from a pseudo-terminal through the receiver, the
// line store and the capture file, beside what `cat` moves through the same kind of
// pseudo-terminal into a file in the same run. The upload path: bytes per second a file
// upload puts on a pseudo-terminal at UL_WAIT 0 (and at 1 ms), beside `cat` writing the
// same bytes to the same pseudo-terminal.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/link/link.h"
#include "core/transfer/upload.h"
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
    double best_rate = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        write_all(pty.master, bytes);
        captured += bytes.size();
        wait_for_size(*desktop.chosen, captured);
        const double seconds = seconds_since(start);
        best_rate = std::max(best_rate, static_cast<double>(bytes.size()) / seconds);
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(captured));
    link.close_port();
    capture.end_download();

    // Best of three each way: on a shared machine the slower runs measure the neighbours.
    double cat_rate = 0;
    for (int i = 0; i < 3; ++i) {
        cat_rate = std::max(cat_rate, cat_bytes_per_second(bytes, dir + "/cat.txt"));
    }
    state.counters["cat_bytes_per_second"] = cat_rate;
    std::printf(
        "receive path with capture, best of 3: %.1f MB/s; the same pty under cat, best "
        "of 3: %.1f MB/s; ratio %.2f (target >= 0.50)\n",
        best_rate / 1e6, cat_rate / 1e6, best_rate / cat_rate);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReceivePathWithCapture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Reads the master side until `n` bytes came; the time the last one arrived.
Clock::time_point read_until(int master, std::size_t n) {
    std::vector<char> buffer(65536);
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(master, buffer.data(), buffer.size());
        if (r > 0) got += static_cast<std::size_t>(r);
    }
    return Clock::now();
}

// `cat` writing `path` into the raw slave `slave` while the master is read.
double cat_to_slave_bytes_per_second(const std::string& path, std::size_t bytes, int master,
                                     const std::string& slave) {
    auto start = Clock::now();
    std::thread reader([&] { read_until(master, bytes); });
    pid_t child = ::fork();
    if (child == 0) {
        int out = ::open(slave.c_str(), O_WRONLY | O_NOCTTY);
        ::dup2(out, 1);
        ::execlp("cat", "cat", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    reader.join();
    double rate = static_cast<double>(bytes) / seconds_since(start);
    ::waitpid(child, nullptr, 0);
    return rate;
}

// A file upload with local echo into the line store, as an operator runs it.
void BM_UploadPath(benchmark::State& state) {
    const int wait_ms = static_cast<int>(state.range(0));
    const std::size_t size = wait_ms == 0 ? 1 << 20 : 1000;
    char dir_pattern[] = "/tmp/kestrel-bench-XXXXXX";
    std::string dir = ::mkdtemp(dir_pattern);
    std::string line(78, 'u');
    std::string text;
    while (text.size() + 80 <= size) text += line + "\r\n";
    const std::string path = dir + "/upload.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    const std::size_t on_wire = text.size() - text.size() / 80;  // LF is not sent

    Pty pty;
    QuietDesktop desktop;
    desktop.chosen = path;
    LineStore store{desktop};
    store.first_sized(24);
    Backscroll backscroll{store, desktop};
    Capture capture{desktop, store};
    Settings settings;
    settings.port_devices[0].assign(pty.slave);
    settings.port.dsr_watch = 0;
    settings.port.flow_control = 3;
    settings.port.upload_wait = wait_ms;
    Link link(store, backscroll, capture, settings, desktop);
    if (!link.open_port()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    Upload upload(link, store, capture, settings, desktop);
    std::size_t sent = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        std::thread reader([&] {
            state.SetIterationTime(
                std::chrono::duration<double>(read_until(pty.master, on_wire) - start).count());
        });
        upload.start_file();
        reader.join();
        while (upload.running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sent += on_wire;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(sent));
    link.close_port();
    if (wait_ms == 0) {
        // The same slave, raw, under cat.
        int keep = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(keep, &t);
        cfmakeraw(&t);
        ::tcsetattr(keep, TCSANOW, &t);
        double cat_rate = cat_to_slave_bytes_per_second(path, text.size(), pty.master, pty.slave);
        ::close(keep);
        state.counters["cat_bytes_per_second"] = cat_rate;
        std::printf("upload path: cat writes the same file to the same pty at %.1f MB/s\n",
                    cat_rate / 1e6);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_UploadPath)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
