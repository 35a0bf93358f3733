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

    UploadRun() { rig.start(GuiRig::settings_text(QString::fromStdString(tnc.slave_path()))); }
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
    bool upload_enabled() { return w().menu_item(command::upload)->isEnabled(); }
    bool abort_enabled() { return w().menu_item(command::abort_upload)->isEnabled(); }
};

}  // namespace

class TransferTest : public QObject {
    Q_OBJECT
private slots:
    void upload_pauses_until_home_and_timer_removes_its_window();
    void window_stays_responsive_and_abort_stops_the_bytes();
    void exit_while_paused_or_sleeping_ends_cleanly_data();
    void exit_while_paused_or_sleeping_ends_cleanly();
    void copies_go_to_the_clipboard_and_a_file();
};

void TransferTest::upload_pauses_until_home_and_timer_removes_its_window() {
    UploadRun run;
    QVERIFY(run.upload_enabled() && !run.abort_enabled());
    run.upload("abc\r\n/**/\r\ndef\r\n");
    QVERIFY(run.w().upload_window() != nullptr);
    QCOMPARE(run.w().upload_window()->upload_name(), QStringLiteral("up.txt"));
    QTRY_VERIFY(run.w().upload().paused());
    run.rig.settle();
    QVERIFY(!run.upload_enabled() && run.abort_enabled());
    QCOMPARE(run.tnc.read(4), std::string("abc\r"));
    QVERIFY(
        run.rig.terminal_text().contains(QStringLiteral("ﾎﾟｰｽﾞ中  ｱｯﾌﾟﾛｰﾄﾞを続行するには HOMEｷｰ")));

    run.rig.key(Qt::Key_Home);
    QCOMPARE(run.tnc.read(4), std::string("def\r"));
    QTRY_VERIFY(!run.w().upload().running());
    // Timer 2 takes the window away within its second.
    QTRY_VERIFY(run.w().upload_window() == nullptr);
    run.rig.settle();
    QVERIFY(run.upload_enabled() && !run.abort_enabled());
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
    QCOMPARE(abort->text(), QStringLiteral("強制終了"));
    QTest::mouseClick(abort, Qt::LeftButton);
    QVERIFY(!run.w().upload().running());
    QVERIFY(run.w().upload_window() == nullptr);
    run.rig.settle();
    QVERIFY(run.upload_enabled() && !run.abort_enabled());
    run.tnc.read(1 << 20, 300);  // what was on its way before Abort
    QCOMPARE(run.tnc.read(1, 500), std::string());
}

void TransferTest::exit_while_paused_or_sleeping_ends_cleanly_data() {
    QTest::addColumn<int>("wait_ms");
    QTest::addColumn<bool>("pause");
    QTest::newRow("paused") << 0 << true;
    QTest::newRow("sleeping at UL_WAIT 5000") << 5000 << false;
}

void TransferTest::exit_while_paused_or_sleeping_ends_cleanly() {
    QFETCH(int, wait_ms);
    QFETCH(bool, pause);
    UploadRun run;
    run.upload("a\r\n/**/\r\nb\r\n", wait_ms);
    if (pause) {
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

void TransferTest::copies_go_to_the_clipboard_and_a_file() {
    UploadRun run;
    kestrel::LineStore& store = run.rig.session().store;
    store.put_text("one\r\xB1\xB2\rnow");
    for (int age : {1, 2}) store.with_line(age, [](kestrel::ScreenLine& l) { l.selected = 1; });

    run.w().dispatch(command::copy_clipboard_quoted);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(">one\n>ｱｲ\n"));
    // The clipboard goes back out as an upload, converted to CP932 again.
    run.w().dispatch(command::clipboard_upload);
    QCOMPARE(run.tnc.read(9), std::string(">one\r>\xB1\xB2\r"));

    run.rig.session().desktop.set_chooser_hook(
        [&](const kestrel::FileChoice&) { return std::optional(run.path); });
    run.w().dispatch(command::copy_file);
    QFile file(QString::fromStdString(run.path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("one\r\n\xB1\xB2\r\n"));

    run.w().dispatch(command::pause_string);
    QCOMPARE(run.rig.dialogs_run, 1);
}

QTEST_MAIN(TransferTest)
#include "transfer_test.moc"
