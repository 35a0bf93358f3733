// A prompt-paced upload to tncsim's BBS through the main window, the prompt set in the RBBS
// dialog: each line waits for the board's prompt, or for HOME after a time-out's notice.

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/shell/command_ids.h"
#include "gui_rig.h"
#include "tncsim_process.h"

using kestrel::testing::TncsimProcess;

class PromptUploadTest : public QObject {
    Q_OBJECT
private slots:
    void lines_wait_for_the_prompt_data();
    void lines_wait_for_the_prompt();
};

void PromptUploadTest::lines_wait_for_the_prompt_data() {
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("pauses");
    QTest::newRow("bare prompt after CR LF lines") << QStringList() << "JA1BBS>" << 30 << 0;
    QTest::newRow("bare prompt after CR lines")
        << QStringList{"--bbs-line-end", "cr"} << " JA1BBS> " << 30 << 0;
    QTest::newRow("prompt that never comes") << QStringList() << "NOPE>" << 1 << 3;
}

void PromptUploadTest::lines_wait_for_the_prompt() {
    QFETCH(QStringList, board);
    QFETCH(QString, prompt);
    QFETCH(int, timeout);
    QFETCH(int, pauses);
    std::vector<std::string> args = {"--bbs-prompt-every-line", "--bbs-prompt-end", "none"};
    for (const QString& a : board) args.push_back(a.toStdString());
    TncsimProcess tncsim(args);
    GuiRig rig;
    // The screen shows only what the TNC sends, in its order: its echo of each line
    // follows the prompt the line waited for.
    QString settings =
        GuiRig::settings_text(QString::fromStdString(tncsim.slave_path()),
                              "[PROPATY1]\r\nCOMMAND=C JA1BBS\\n\r\nPROMPT_WAIT=JA1BBS>\r\n");
    rig.start(settings.replace("ADD_DSR=0", "ADD_DSR=0\r\nLOCAL_ECHO=0"));

    // The file's prompt shows in the dialog; the row's is set there and the board called.
    QString loaded;
    rig.on_dialog = [&](QDialog& dialog) {
        for (auto* field : dialog.findChildren<QLineEdit*>()) {
            if (field->accessibleName() != QStringLiteral("ﾌﾟﾛﾝﾌﾟﾄ")) continue;
            loaded = field->text();
            field->setText(prompt);
        }
        dialog.findChild<QSpinBox*>()->setValue(timeout);
        for (auto* b : dialog.findChildren<QPushButton*>()) {
            if (b->accessibleName() == QStringLiteral("送信(SHIFT+↑)")) b->click();
        }
        return dialog.result();
    };
    rig.key(Qt::Key_F1);
    QCOMPARE(loaded, QStringLiteral("JA1BBS>"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains("JA1BBS>"), 10000);

    QTemporaryDir dir;
    const std::string path = dir.filePath("message.txt").toStdString();
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly) &&
            file.write("S JA1ABC\r\nTest\r\nline one\r\n/EX\r\n") > 0);
    file.close();
    rig.session().desktop.set_chooser_hook([&](const kestrel::FileChoice&) { return path; });
    rig.key(Qt::Key_U, Qt::AltModifier);
    const kestrel::Upload& upload = rig.window().upload();
    int paused = 0;
    for (;;) {
        QTRY_VERIFY_WITH_TIMEOUT(upload.paused() || !upload.running(), 20000);
        if (!upload.running()) break;
        ++paused;
        rig.settle();
        QVERIFY(rig.terminal_text().contains(QStringLiteral("ﾌﾟﾛﾝﾌﾟﾄが 1秒 来ません")));
        rig.key(Qt::Key_Home);
    }
    QCOMPARE(paused, pauses);
    // Each line follows the prompt it waited for, or the notice of the wait given up.
    const QString before =
        pauses > 0 ? QStringLiteral("HOMEｷｰ -----\n") : QStringLiteral("JA1BBS>");
    for (const char* line : {"Test", "line one", "/EX"}) {
        QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(before + line), 10000);
    }

    // Saved with the record that uses it, and only there.
    rig.window().dispatch(kestrel::app::command::save_settings);
    QFile ini(rig.settings_path());
    const QString text = ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : "";
    QCOMPARE(text.count("PROMPT_WAIT="), 1);
    QVERIFY(text.contains(QString("PROMPT_WAIT=%1\r\n").arg(prompt)) &&
            text.contains(QString("PROMPT_TIMEOUT=%1\r\n").arg(timeout)));
}

QTEST_MAIN(PromptUploadTest)
#include "prompt_upload_test.moc"
