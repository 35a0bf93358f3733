// ALT+n starts a registered command line, no shell, no child left; a bad one is named; the
// registration writes the file while the menu keeps its labels; "ヘルプ" shows the manual.

#include <sys/wait.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "app/help/help_window.h"
#include "app/shell/command_ids.h"
#include "core/text/sjis.h"
#include "gui_rig.h"

static void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

class ProgramsTest : public QObject {
    Q_OBJECT
private slots:
    void programs_start_and_register_and_help_shows_the_manual();
};

void ProgramsTest::programs_start_and_register_and_help_shows_the_manual() {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("run me.sh"));
    write(script, "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/ran\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
    GuiRig rig;
    rig.start(GuiRig::settings_text({}, QStringLiteral("[EXT_EXEC1]\r\nNAME=Script\r\nPATH=\"%1\" "
                                                       "\"a b\" c\r\n[EXT_EXEC2]\r\nNAME=Bad\r\n"
                                                       "PATH=/nonexistent/prog -x\r\n")
                                            .arg(script)));
    MainWindow& w = rig.window();
    QCOMPARE(w.menu_item(command::program_1)->text(), QStringLiteral("Script\tALT+1"));
    rig.key(Qt::Key_1, Qt::AltModifier);
    QTRY_COMPARE(file_bytes(dir.filePath(QStringLiteral("ran"))), QByteArray("a b\n"));
    QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);  // no child of ours, running or not
    rig.key(Qt::Key_3, Qt::AltModifier);          // nothing registered: nothing shown
    QVERIFY(rig.messages().empty());
    rig.key(Qt::Key_2, Qt::AltModifier);
    QCOMPARE(rig.messages().size(), 1u);
    QCOMPARE(rig.messages()[0].text, std::string("/nonexistent/prog -x を起動できません"));

    // "参照" 3 picks a path longer than the table keeps; a new heading for program 2.
    rig.session().desktop.set_chooser_hook([](const kestrel::FileChoice& choice) {
        return std::optional(
            std::string(kestrel::text::cp932_to_utf8(choice.title) == "外部EXE 3 " ? 80 : 1, 'p'));
    });
    rig.on_dialog = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("見出し 2"))->setText(QStringLiteral("New"));
        dialog.findChild<QPushButton*>(QStringLiteral("参照 3"))->click();
        return int(QDialog::Accepted);
    };
    w.dispatch(command::register_programs);
    const QByteArray ini = file_bytes(rig.settings_path());
    QVERIFY(ini.contains("[EXT_EXEC2]\r\nNAME=New\r\n"));
    QVERIFY(ini.contains("PATH=" + QByteArray(69, 'p') + "\r\n"));
    QCOMPARE(w.menu_item(command::program_1 + 1)->text(), QStringLiteral("Bad\tALT+2"));
    QCOMPARE(w.tool_button(command::program_1 + 1)->toolTip(), QStringLiteral("New"));

    // Without the manual, the help command names where it looked.
    w.manual_dirs = {dir.filePath(QStringLiteral("none"))};
    w.dispatch(command::help);
    QCOMPARE(rig.messages().size(), 2u);
    QVERIFY(QString::fromStdString(rig.messages()[1].text).contains(w.manual_dirs[0]));

    write(dir.filePath(QStringLiteral("index.html")), "<h1>Kestrel</h1><p>ALT+1 starts program 1");
    w.manual_dirs.append(dir.path());
    w.dispatch(command::help);
    QVERIFY(w.help_window()->isVisible());
    QVERIFY(w.help_window()->browser()->toPlainText().contains(QStringLiteral("starts program 1")));
}

QTEST_MAIN(ProgramsTest)
#include "programs_test.moc"
