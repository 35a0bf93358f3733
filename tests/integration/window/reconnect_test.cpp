// A port that is not a plain serial device, through the real window: a TCP port served by
// the test, and a pseudo-terminal whose link is removed and made again mid-capture.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/shell/command_ids.h"
#include "gui_rig.h"
#include "pty_pair.h"

using kestrel::testing::PtyPair;

namespace {

// Captures into a new file in `dir`; the file's bytes are read back by the returned reader.
std::function<QByteArray()> start_capture(GuiRig& rig, const QTemporaryDir& dir) {
    const std::string path = dir.filePath(QStringLiteral("cap.txt")).toStdString();
    rig.session().desktop.set_chooser_hook(
        [path](const kestrel::FileChoice&) { return std::optional(path); });
    rig.key(Qt::Key_D, Qt::AltModifier);
    return [path] {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
}

int accept_one(int listener) {
    // The window's event loop is not needed for the call: the receiver thread makes it.
    pollfd p{listener, POLLIN, 0};
    return ::poll(&p, 1, 10000) == 1 ? ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC) : -1;
}

}  // namespace

class ReconnectTest : public QObject {
    Q_OBJECT
private slots:
    void tcp_port_carries_keys_lines_and_capture();
    void pty_link_made_again_mid_capture();
};

void ReconnectTest::tcp_port_carries_keys_lines_and_capture() {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&a), n) == 0 &&
            ::listen(listener, 4) == 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);
    GuiRig rig;
    rig.start(GuiRig::settings_text(QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(a.sin_port))));
    int peer = accept_one(listener);
    QVERIFY(peer >= 0);

    // The RS-232C dialog tells that the line settings do not apply; Cancel calls again.
    bool noted = false;
    rig.on_dialog = [&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            noted |= label->text().startsWith(QStringLiteral("ﾈｯﾄﾜｰｸ接続")) &&
                     label->isVisibleTo(&dialog);
        }
        return int(QDialog::Rejected);
    };
    rig.window().dispatch(command::rs232c);
    QVERIFY(noted);
    ::close(peer);
    peer = accept_one(listener);
    QVERIFY(peer >= 0);

    QTemporaryDir dir;
    const auto captured = start_capture(rig, dir);
    ::send(peer, "JA1DX >\r\n", 9, 0);
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("JA1DX >\r\n"), 10000);
    QVERIFY(rig.terminal_text().contains(QStringLiteral("JA1DX >")));
    rig.type(QStringLiteral("hi"));
    rig.key(Qt::Key_Return);
    char got[8] = {};
    for (pollfd p{peer, POLLIN, 0}; std::strlen(got) < 3 && ::poll(&p, 1, 10000) == 1;) {
        ::recv(peer, got + std::strlen(got), 3 - std::strlen(got), 0);
    }
    QCOMPARE(QByteArray(got), QByteArray("hi\r"));
    QCOMPARE(captured(), QByteArray("JA1DX >\r\nhi\r\n"));
    ::close(peer);
    ::close(listener);
}

void ReconnectTest::pty_link_made_again_mid_capture() {
    QTemporaryDir dir;
    const std::string link = dir.filePath(QStringLiteral("tnc")).toStdString();
    auto first = std::make_unique<PtyPair>();
    std::filesystem::create_symlink(first->slave_path(), link);
    GuiRig rig;
    rig.start(GuiRig::settings_text(QString::fromStdString(link)));
    const auto captured = start_capture(rig, dir);
    first->write("before\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("before\r\n"), 10000);

    first.reset();  // pulled out
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("com ｴﾗ- 5")), 10000);
    std::filesystem::remove(link);
    PtyPair second;
    std::filesystem::create_symlink(second.slave_path(), link);
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("に再接続しました")),
                             10000);
    second.write("after\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("before\r\nafter\r\n"), 10000);
    QVERIFY(rig.session().capture.is_open());
}

QTEST_MAIN(ReconnectTest)
#include "reconnect_test.moc"
