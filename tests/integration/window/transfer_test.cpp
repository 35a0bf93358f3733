// Uploads and copy out through the main window: the menu state, the in-progress window,
// HOME, Abort, a window that stays responsive while an upload paces its bytes, and exit
// in the middle of an upload.

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/dialogs/upload_window.h"
#include "app/shell/command_ids.h"
#include "gui_rig.h"
#include "pty_pair.h"

using kestrel::testing::PtyPair;

namespace {

struct UploadRun {
    PtyPair tnc;
    GuiRig rig;
    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("up.txt")).toStdString();

    UploadRun() { rig.start_on(tnc.slave_path()); }
    MainWindow& w() { return rig.window(); }
    // ALT+U with `text` as the chosen file.
    void upload(const std::string& text, int wait_ms = 0) {
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::WriteOnly);
        file.write(text.data(), qint64(text.size()));
        file.close();
        rig.session().settings.port.upload_wait = wait_ms;
        rig.session().desktop.set_chooser_hook(
            [this](const kestrel::FileChoice&) { return std::optional(path); });
        rig.key(Qt::Key_U, Qt::AltModifier);
    }
    // Whether the menu offers Abort and not Upload while one runs, and the other way round.
    bool menu_shows(bool running) {
        return w().menu_item(command::upload)->isEnabled() != running &&
               w().menu_item(command::abort_upload)->isEnabled() == running;
    }
};

}  // namespace

class TransferTest : public QObject {
    Q_OBJECT
private slots:
    void upload_pauses_until_home_then_copies_go_out();
    void window_stays_responsive_and_abort_stops_the_bytes();
    void exit_while_paused_or_sleeping_ends_cleanly();
};

// An upload pauses until HOME and timer 2 removes its window; then, on the same link, the
// copies go to the clipboard, back out as an upload, and to a file.
void TransferTest::upload_pauses_until_home_then_copies_go_out() {
    UploadRun run;
    QVERIFY(run.menu_shows(false));
    run.upload("abc\r\n/**/\r\ndef\r\n");
    QVERIFY(run.w().upload_window() != nullptr);
    QCOMPARE(run.w().upload_window()->upload_name(), QStringLiteral("up.txt"));
    QTRY_VERIFY(run.w().upload().paused());
    run.rig.settle();
    QVERIFY(run.menu_shows(true));
    QCOMPARE(run.tnc.read(4), std::string("abc\r"));
    QVERIFY(
        run.rig.terminal_text().contains(QStringLiteral("ﾎﾟｰｽﾞ中  ｱｯﾌﾟﾛｰﾄﾞを続行するには HOMEｷｰ")));

    run.rig.key(Qt::Key_Home);
    QCOMPARE(run.tnc.read(4), std::string("def\r"));
    QTRY_VERIFY(!run.w().upload().running());
    // Timer 2 takes the window away within its second.
    QTRY_VERIFY(run.w().upload_window() == nullptr);
    run.rig.settle();
    QVERIFY(run.menu_shows(false));

    kestrel::LineStore& store = run.rig.session().store;
    store.put_text("\rone\r\xB1\xB2\rnow");
    for (int age : {1, 2}) store.with_line(age, [](kestrel::ScreenLine& l) { l.selected = 1; });
    run.w().dispatch(command::copy_clipboard_quoted);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(">one\n>ｱｲ\n"));
    // The clipboard goes back out as an upload, converted to CP932 again.
    run.w().dispatch(command::clipboard_upload);
    QCOMPARE(run.tnc.read(9), std::string(">one\r>\xB1\xB2\r"));
    run.path = run.dir.filePath(QStringLiteral("copy.txt")).toStdString();  // what it answers
    run.w().dispatch(command::copy_file);
    QCOMPARE(file_bytes(QString::fromStdString(run.path)), QByteArray("one\r\n\xB1\xB2\r\n"));
    run.w().dispatch(command::pause_string);
    QCOMPARE(run.rig.dialogs_run, 1);
}

void TransferTest::window_stays_responsive_and_abort_stops_the_bytes() {
    UploadRun run;
    std::string text;
    while (text.size() < 40000) text += std::string(70, 'x') + "\r\n";
    run.upload(text, 1);
    QVERIFY(run.w().upload().running());
    // A few seconds of pacing, then a typed key: it goes out while the upload still runs,
    // so the GUI thread never waited for the upload.
    std::string got;
    for (int i = 0; i < 25; ++i) {
        QTest::qWait(100);
        got += run.tnc.drain();
    }
    QVERIFY(!got.empty());
    run.rig.type(QStringLiteral("Z"));
    while (got.find('Z') == std::string::npos) {
        const std::string more = run.tnc.read(1);
        QVERIFY(!more.empty());
        got += more;
    }
    QVERIFY(run.w().upload().running());

    auto* abort = run.w().upload_window()->findChild<QPushButton*>();
    QVERIFY(abort != nullptr);
    QTest::mouseClick(abort, Qt::LeftButton);
    QVERIFY(!run.w().upload().running());
    QVERIFY(run.w().upload_window() == nullptr);
    run.rig.settle();
    QVERIFY(run.menu_shows(false));
    run.tnc.read(1 << 20, 300);  // what was on its way before Abort
    QCOMPARE(run.tnc.read(1, 500), std::string());
}

// Exit while paused, and while sleeping at UL_WAIT 5000.
void TransferTest::exit_while_paused_or_sleeping_ends_cleanly() {
    for (const int wait_ms : {0, 5000}) {
        UploadRun run;
        run.upload("a\r\n/**/\r\nb\r\n", wait_ms);
        if (wait_ms == 0) {
            QTRY_VERIFY(run.w().upload().paused());
            QCOMPARE(run.tnc.read(2), std::string("a\r"));
        }
        QVERIFY(run.w().upload().running());
        run.w().close();
        QVERIFY(!run.w().upload().running());
        QVERIFY(!run.rig.session().link.port_is_open());
        QVERIFY(run.w().upload_window() == nullptr);
        QCOMPARE(run.tnc.read(1, 300), std::string());
    }
}

QTEST_MAIN(TransferTest)
#include "transfer_test.moc"
