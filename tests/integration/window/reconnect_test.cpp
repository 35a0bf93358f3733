// Ports that are not a plain serial device, through the real window: a TCP port served by
// the test, and a pseudo-terminal whose link is removed and made again mid-capture.

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/shell/command_ids.h"
#include "gui_rig.h"
#include "pty_pair.h"
#include "tcp_server.h"

using kestrel::testing::TcpServer;

class ReconnectTest : public QObject {
    Q_OBJECT
private slots:
    void tcp_port_carries_keys_lines_and_capture();
    void pty_link_made_again_mid_capture();

private:
    // Starts a capture into a new file named `name`, which `captured` then reads.
    void start_capture(GuiRig& rig, const QString& name) {
        capture_ = dir_.filePath(name);
        rig.session().desktop.set_chooser_hook(
            [path = capture_.toStdString()](const kestrel::FileChoice&) {
                return std::optional(path);
            });
        rig.key(Qt::Key_D, Qt::AltModifier);
    }
    QByteArray captured() { return file_bytes(capture_); }
    QTemporaryDir dir_;
    QString capture_;
};

void ReconnectTest::tcp_port_carries_keys_lines_and_capture() {
    TcpServer server;
    GuiRig rig;
    rig.start_on(server.device());
    int peer = server.accept_one();
    QVERIFY(peer >= 0);
    // The RS-232C dialog tells that the line settings do not apply; Cancel calls again.
    bool noted = false;
    rig.on_dialog = [&](QDialog& dialog) {
        noted = dialog.findChild<QLabel*>(QStringLiteral("network_note"))->isVisibleTo(&dialog);
        return int(QDialog::Rejected);
    };
    rig.window().dispatch(command::rs232c);
    QVERIFY(noted);
    ::close(peer);
    peer = server.accept_one();
    QVERIFY(peer >= 0);

    start_capture(rig, QStringLiteral("tcp.txt"));
    ::send(peer, "JA1DX >\r\n", 9, 0);
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("JA1DX >\r\n"), 10000);
    QVERIFY(rig.terminal_text().contains(QStringLiteral("JA1DX >")));
    rig.type(QStringLiteral("hi"));
    rig.key(Qt::Key_Return);
    QCOMPARE(TcpServer::receive(peer, 3), std::string("hi\r"));
    QCOMPARE(captured(), QByteArray("JA1DX >\r\nhi\r\n"));
    ::close(peer);
}

void ReconnectTest::pty_link_made_again_mid_capture() {
    const std::string link = dir_.filePath(QStringLiteral("tnc")).toStdString();
    auto first = std::make_unique<kestrel::testing::PtyPair>();
    std::filesystem::create_symlink(first->slave_path(), link);
    GuiRig rig;
    rig.start_on(link);
    start_capture(rig, QStringLiteral("pty.txt"));
    first->write("before\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("before\r\n"), 10000);

    first.reset();  // pulled out
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("com ｴﾗ- 5")), 10000);
    std::filesystem::remove(link);
    kestrel::testing::PtyPair second;
    std::filesystem::create_symlink(second.slave_path(), link);
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("に再接続しました")),
                             10000);
    second.write("after\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(captured(), QByteArray("before\r\nafter\r\n"), 10000);
}

QTEST_MAIN(ReconnectTest)
#include "reconnect_test.moc"
