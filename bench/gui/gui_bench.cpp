// Start-up with a full scroll file, and the receive path with the window open: a 1 MB
// burst from tncsim must be drawn without freezing the window, so the longest gap between
// two handled events is what counts.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>

#include "app/accessibility/accessible_pane.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "core/screen/line_store.h"
#include "core/text/sjis.h"

using namespace kestrel::app;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int burst_bytes = 1 << 20;

double ms_since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void write_settings(const QString& path, const QString& device) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("[RS232C]\r\nCOM_PORT=1\r\nADD_DSR=0\r\nLOCAL_ECHO=0\r\n"
                              "[PORT_DEVICES]\r\nCOM1=%1\r\n")
                   .arg(device)
                   .toUtf8());
}

// 5000 full lines, half of them Japanese, in the scroll file's layout.
void write_full_scroll_file(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const std::int32_t header[4] = {kestrel::LineStore::line_count, 4999, 0, 0};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    const std::string japanese =
        kestrel::text::sjis("受信した行の表示速度を測るための日本語の文章です。");
    for (int i = 0; i < kestrel::LineStore::line_count; ++i) {
        kestrel::ScreenLine line{};
        std::string text = (i % 2 ? japanese : std::string("DX de JA1ABC:  14025.0  W1AW  cq ")) +
                           std::to_string(i);
        text.resize(std::min<std::size_t>(text.size(), 80));
        std::copy(text.begin(), text.end(), line.text);
        out.write(reinterpret_cast<const char*>(&line), sizeof line);
    }
}

bool wait_for(const std::function<bool()>& done, int deadline_ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > deadline_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void start_up(const QTemporaryDir& dir, Clock::time_point t0) {
    const QString ini = dir.filePath(QStringLiteral("start.ini"));
    Session session(ini.toStdString());
    MainWindow window(session);
    FirstPaint first;
    window.terminal_pane()->installEventFilter(&first);
    window.start();
    const bool painted = wait_for([&] { return first.painted; }, 10000);
    std::printf(
        "gui start to first painted window, full scroll file: %.1f ms%s (target < 300 ms)\n",
        ms_since(t0), painted ? "" : " (never painted)");
    window.close();
}

void receive_burst(const QTemporaryDir& dir, const QString& tncsim) {
    QProcess sim;
    sim.start(tncsim, {QStringLiteral("--burst"), QString::number(burst_bytes),
                       QStringLiteral("--exit-on-hangup"), QStringLiteral("--dx-interval"),
                       QStringLiteral("0")});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::printf("gui receive: tncsim did not start\n");
        return;
    }
    const QString device = QString::fromUtf8(sim.readLine()).trimmed();
    const QString ini = dir.filePath(QStringLiteral("burst.ini"));
    write_settings(ini, device);

    Session session(ini.toStdString());
    MainWindow window(session);
    window.start();
    if (!session.link.port_is_open()) {
        std::printf("gui receive: the port did not open\n");
        return;
    }
    // Reading old text while the burst arrives; the 500-line guard closes the view.
    window.dispatch(command::backscroll);

    Clock::time_point last_event = Clock::now();
    double longest_gap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longest_gap = std::max(longest_gap,
                               std::chrono::duration<double, std::milli>(now - last_event).count());
        last_event = now;
    });
    Clock::time_point first_frame{};
    Clock::time_point last_frame{};
    int frames = 0;
    QObject::connect(&session.desktop, &QtDesktop::repaint_due, [&](bool terminal, bool) {
        if (!terminal) return;
        last_frame = Clock::now();
        if (frames++ == 0) first_frame = last_frame;
    });
    ticker.start();
    last_event = Clock::now();
    session.link.send_char('\r');
    // The burst is over once the screen has been still for a second.
    wait_for([&] { return frames > 1 && ms_since(last_frame) > 1000; }, 120000);
    ticker.stop();
    const double ms = std::chrono::duration<double, std::milli>(last_frame - first_frame).count();
    std::printf(
        "gui receive, 1 MB burst from tncsim with split view open: %.0f ms, %.0f KB/s, "
        "%d frames, longest gap between handled events %.1f ms (target < 50 ms)\n",
        ms, ms > 0 ? burst_bytes / 1024.0 / (ms / 1000.0) : 0.0, frames, longest_gap);
    window.close();
    sim.terminate();
    sim.waitForFinished(5000);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir dir;
    write_settings(dir.filePath(QStringLiteral("start.ini")), QStringLiteral("/nonexistent/tty"));
    write_full_scroll_file(dir.filePath(QStringLiteral("start.buf")).toStdString());

    const Clock::time_point t0 = Clock::now();
    QApplication app(argc, argv);
    install_pane_accessibility();
    start_up(dir, t0);

    QString tncsim = qEnvironmentVariable("KESTREL_TNCSIM");
#ifdef KESTREL_TNCSIM
    if (tncsim.isEmpty()) tncsim = QStringLiteral(KESTREL_TNCSIM);
#endif
    if (tncsim.isEmpty() || !QFile::exists(tncsim)) {
        std::printf("gui receive: no tncsim to send the burst\n");
        return 0;
    }
    receive_burst(dir, tncsim);
    return 0;
}
