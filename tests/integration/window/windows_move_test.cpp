// Settings and scroll-back copied from a Windows PC, in the exact bytes Windows leaves: they
// load, the old lines are on the screen, and what only made sense there is reported, not used.

#include <QComboBox>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/dialogs/rs232c_dialog.h"
#include "app/shell/command_ids.h"
#include "core/text/sjis.h"
#include "gui_rig.h"
#include "pty_pair.h"
#include "temp_dir.h"

using kestrel::text::sjis;

namespace {

// CP932, CR LF, sections in no particular order, keys in any case, COM3 and no PORT_DEVICES.
const std::string windows_ini = sjis(
    "[dir]\r\nDl_Dir=C:\\BBS\\DL\r\nul_dir=C:\\BBS\\UL\r\n"
    "[ext_exec1]\r\nname=エディタ\r\nPath=C:\\Program Files\\Editor\\editor.exe\r\n"
    "[PROPATY1]\r\nconnect_file=接続.txt\r\nEXTENTION=log\r\n"
    "[Rs232c]\r\nCOM_PORT=3\r\nAdd_Dsr=0\r\n");

// The 16-byte header (line count 5000, current line 2) and 5000 records of 84 bytes (kind,
// selection, text), the two old lines just above the current one.
std::string windows_scroll() {
    std::string bytes(16 + 84 * 5000, '\0');
    bytes[0] = char(5000 & 0xff), bytes[1] = char(5000 >> 8), bytes[4] = 2;
    std::size_t at = 16 + 2;
    for (const std::string& line : {sjis("JA1XYZ> 古い掲示板の行"), sjis("ｶﾀｶﾅの行 #2")}) {
        bytes.replace(at, line.size(), line);
        at += 84;
    }
    return bytes;
}

// Whether one message box held every part (the recorded texts are UTF-8).
bool told(GuiRig& rig, std::initializer_list<std::string> parts) {
    return std::ranges::any_of(rig.messages(), [&](const auto& m) {
        return std::ranges::all_of(parts,
                                   [&](auto& p) { return m.text.find(p) != std::string::npos; });
    });
}

}  // namespace

class WindowsMoveTest : public QObject {
    Q_OBJECT
private slots:
    void windows_pair_loads_and_windows_paths_are_reported();
};

void WindowsMoveTest::windows_pair_loads_and_windows_paths_are_reported() {
    // A machine whose ttyS2 is a placeholder (UART type 0): never opened, only reported.
    kestrel::testing::TempDir sys;
    std::filesystem::create_directories(sys.path() + "/class/tty/ttyS2");
    std::ofstream(sys.path() + "/class/tty/ttyS2/type") << "0\n";
    kestrel::testing::PtyPair tnc;
    GuiRig rig;
    const std::string ini = rig.settings_path().toStdString();
    std::ofstream(ini, std::ios::binary) << windows_ini;
    std::ofstream(ini.substr(0, ini.size() - 4) + ".buf", std::ios::binary) << windows_scroll();
    rig.sysfs_root = sys.path();
    QString focused;
    QStringList others;
    rig.on_dialog = [&](QDialog& dialog) {
        if (qobject_cast<Rs232cDialog*>(&dialog) != nullptr) {
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            dialog.findChild<QComboBox*>(QStringLiteral("device_field"))
                ->setEditText(QString::fromStdString(tnc.slave_path()));
            dialog.accept();
            return int(QDialog::Accepted);
        }
        others << QString::fromLatin1(dialog.metaObject()->className());
        dialog.reject();
        return int(QDialog::Rejected);
    };
    rig.start(QString());

    const kestrel::Settings& settings = rig.session().settings;
    QCOMPARE(settings.external_programs[0].name.view(), sjis("エディタ"));
    QVERIFY(told(rig, {"COM3:", "/dev/ttyS2"}));
    QCOMPARE(focused, QStringLiteral("device_field"));
    QCOMPARE(settings.port_devices[2].view(), tnc.slave_path());
    QVERIFY(rig.session().link.port_is_open());
    QVERIFY(told(rig, {"DIR DL_DIR=C:\\BBS\\DL", "DIR UL_DIR=C:\\BBS\\UL",
                       "EXT_EXEC1 PATH=C:\\Program Files\\Editor\\editor.exe"}));
    QCOMPARE(others, QStringList{QStringLiteral("kestrel::app::FoldersDialog")});
    QVERIFY(rig.terminal_text().contains(QStringLiteral("JA1XYZ> 古い掲示板の行")));
    QVERIFY(rig.terminal_text().contains(QStringLiteral("ｶﾀｶﾅの行 #2")));

    // Declined: the folders stay Windows paths, and what would use them says so.
    const std::size_t before = rig.messages().size();
    rig.window().dispatch(command::date_download);
    QVERIFY(!rig.session().capture.is_open());
    QVERIFY(!rig.window().start_connect_file_upload());
    QCOMPARE(rig.messages().size(), before + 2);
    QVERIFY(told(rig, {"C:\\BBS\\DL", "がありません"}));
    QVERIFY(told(rig, {"C:\\BBS\\UL", "がありません"}));
}

QTEST_MAIN(WindowsMoveTest)
#include "windows_move_test.moc"
