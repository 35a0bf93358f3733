#include "core/settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings/profile.h"
#include "core/text/sjis.h"
#include "fake_desktop.h"
#include "file_bytes.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::FakeDesktop;
using testing::read_bytes;
using testing::TempDir;
using testing::write_bytes;
using text::sjis;

// Every value differs from its default and from the same field of every other record, so
// a value lost or misplaced on the way back shows.
Settings full_settings() {
    Settings s;
    s.port = {4, 19200, 7, 2, 0, 1, 0, 1, 1, 50, 0};
    s.jst = 0;
    s.tool_bar = 0;
    s.pause_str.assign(sjis("【一時停止】") + std::string(70, '*'));
    s.inyou_str.assign("|>");
    s.rev_text_col = 0;
    s.bell_on = 0;
    s.small_pc_scope = 1;
    s.time_stamp = 1;
    s.default_fkey_no = 23;
    s.font_type = 2;
    s.log_font_x = 8;
    s.log_font_y = 16;
    s.bs_yohaku = 0;
    s.dl_dir.assign(sjis("/home/op/ダウンロード"));
    s.ul_dir.assign(std::string(254, 'u'));
    for (int i = 0; i < rbbs_count; ++i) {
        RbbsRecord& r = s.rbbs[i];
        std::string n = std::to_string(i);
        r.name.assign(sjis("ＪＡ１ＲＢＢＳ") + n);
        r.connect_command.assign("C JA1BBS-" + n + "\\n");
        r.connect_file.assign("c" + n + ".txt");
        r.read_command.assign("RN" + n);
        r.separator.assign(i % 2 ? " " : "/");
        r.extension.assign("L" + n);
        r.dl_start.assign(std::string(79, 's'));
        r.dl_end.assign(sjis("終了") + n);
        r.dl_start_valid = i % 2;
        r.dl_end_valid = 1 - i % 2;
        r.unproto.assign(std::string(80, 'U'));
        r.sort = static_cast<std::int16_t>(i % 3);
        r.saver = 1;
    }
    s.port_devices[0].assign("/dev/ttyUSB0");
    s.window = {10, 20, 1000, 700};
    s.kyokai = 12;
    s.inyou_col = {1, 2, 3};
    s.cursor_col = {255, 254, 253};
    s.area_col = {9, 99, 199};
    s.pause_col = {0, 0, 0};
    for (int i = 0; i < key_macro_count; ++i)
        s.key_macros[i].assign(sjis("マクロ") + std::to_string(i));
    s.scope_rect = {1, 2, 3, 4};
    s.talk_rect = {5, 6, 7, 8};
    s.talk_call_sign.assign("JA1XYZ-15");
    for (int i = 0; i < external_program_count; ++i) {
        s.external_programs[i].name.assign(sjis("外部") + std::to_string(i));
        s.external_programs[i].path.assign("/usr/bin/prog" + std::to_string(i) + " --arg");
    }
    return s;
}

void save_everything(const SettingsFile& file, const Settings& s, Desktop& desktop) {
    ASSERT_TRUE(save_settings(file, s, desktop));
    ASSERT_TRUE(save_colours_macros(file, s));
    ASSERT_TRUE(save_window_and_fkey_no(file, s));
    ASSERT_TRUE(save_scope_rect(file, s));
    ASSERT_TRUE(save_talk_rect(file, s));
    ASSERT_TRUE(save_talk_call_sign(file, s));
    ASSERT_TRUE(save_external_programs(file, s));
}

Settings load_everything(const SettingsFile& file, Settings s = {}) {
    load_settings(file, s);
    load_default_fkey_no(file, s);
    load_window_colours_macros(file, s);
    load_scope_rect(file, s);
    load_talk_rect(file, s);
    load_talk_call_sign(file, s);
    load_external_programs(file, s);
    return s;
}

class SettingsIoTest : public ::testing::Test {
protected:
    std::string path() const { return dir_.file("KESTREL.INI"); }
    SettingsFile file() const { return SettingsFile(path()); }

    Settings load(std::string_view bytes) {
        write_bytes(path(), bytes);
        return load_everything(file());
    }

    // The section headers of the file, in file order.
    std::vector<std::string> sections() const {
        std::vector<std::string> out;
        std::string bytes = read_bytes(path());
        for (std::size_t at = bytes.find('['); at != std::string::npos;
             at = bytes.find('[', at + 1)) {
            if (at == 0 || bytes[at - 1] == '\n') {
                out.push_back(bytes.substr(at + 1, bytes.find(']', at) - at - 1));
            }
        }
        return out;
    }

    TempDir dir_;
    FakeDesktop desktop_;
};

TEST_F(SettingsIoTest, OutOfRangeValuesAreCorrectedOnlyWhereTheFormatSaysSo) {
    Settings s = load(
        "[RS232C]\nCOM_PORT=9\nUL_WAIT=-5\nBOUD=-300\n"
        "[ENV]\nDEFAULT_FKEY_NO=24\nSMALL_PC_SCOPE=1234567890123\n"
        "[PROPATY1]\nSORT=70000\nSAVER=12\nR=READMESSAGE\nSEPARATER=0\n"
        "[PROPATY2]\nSORT=40000\nSEPARATER=  \n[PROPATY3]\nSEPARATER=;;\n"
        "[INYOU_COL]\nR=300\nG=1000\nB=-1\n");
    EXPECT_EQ(s.port.port_number, 1);
    EXPECT_EQ(s.port.upload_wait, 0);
    EXPECT_EQ(s.port.baud_rate, -300);
    EXPECT_EQ(s.default_fkey_no, 0);
    EXPECT_EQ(s.small_pc_scope, 123456789);  // 10-byte buffer
    EXPECT_EQ(s.rbbs[0].sort, 70000 - 65536);
    EXPECT_EQ(s.rbbs[1].sort, 40000 - 65536);
    EXPECT_EQ(s.rbbs[0].saver, 1);
    EXPECT_EQ(s.rbbs[0].read_command, "READMESSA");
    // A space separator is stored as "0"; a blank value reads empty, a long one is cut.
    EXPECT_EQ(s.rbbs[0].separator, " ");
    EXPECT_EQ(s.rbbs[1].separator, "");
    EXPECT_EQ(s.rbbs[2].separator, ";");
    EXPECT_EQ(s.inyou_col, (Colour{44, 100, 255}));

    s = load("[RS232C]\nCOM_PORT=0\nUL_WAIT=500\n[ENV]\nDEFAULT_FKEY_NO=0019\n");
    EXPECT_EQ(s.port.port_number, 1);
    EXPECT_EQ(s.port.upload_wait, 500);
    EXPECT_EQ(s.default_fkey_no, 1);  // 4-byte buffer: "001"

    s = load("[RS232C]\nCOM_PORT=8\n[ENV]\nDEFAULT_FKEY_NO=23\n");
    EXPECT_EQ(s.port.port_number, 8);
    EXPECT_EQ(s.default_fkey_no, 23);
}

TEST_F(SettingsIoTest, AMissingFileReadsAsAFreshInstallAndIsNotCreated) {
    // Loaded over values that are all changed, so a key that keeps its old value shows.
    const Settings loaded = load_everything(file(), full_settings());
    EXPECT_FALSE(file().exists());
    const SettingsFile fresh(dir_.file("FRESH.INI")), reread(dir_.file("REREAD.INI"));
    save_everything(fresh, Settings{}, desktop_);
    save_everything(reread, loaded, desktop_);
    EXPECT_EQ(read_bytes(reread.settings_path()), read_bytes(fresh.settings_path()));
}

TEST_F(SettingsIoTest, ANewFileHasTheSectionsAndKeysInWriteOrderAndNoParity) {
    Settings s;
    s.port.parity = 2;
    ASSERT_TRUE(save_settings(file(), s, desktop_));

    std::vector<std::string> expected{"RS232C", "ENV", "FONT", "DIR"};
    for (int i = 1; i <= 24; ++i) expected.push_back("PROPATY" + std::to_string(i));
    expected.push_back("PORT_DEVICES");
    EXPECT_EQ(sections(), expected);

    std::string bytes = read_bytes(path());
    EXPECT_EQ(
        bytes.rfind("[RS232C]\r\nCOM_PORT=1\r\nBOUD=9600\r\nBIT_LEN=8\r\nSTOP=0\r\nHARD_FLOW=0\r\n"
                    "LOCAL_ECHO=1\r\nTX_LF=0\r\nRX_LF=0\r\nUL_WAIT=0\r\nADD_DSR=1\r\n"
                    "[ENV]\r\nJST=1\r\nTOOL_BAR=1\r\nPAUSE_STR=/**/\r\nINYOU_STR=>\r\n"
                    "REV_TEXT_COL=1\r\nBELL_ON=1\r\nSMALL_PC_SCOPE=0\r\nTIME_STAMP=0\r\n"
                    "[FONT]\r\nFONT_TYPE=0\r\nLOG_FONT_X=0\r\nLOG_FONT_Y=13\r\nBS_YOHAKU=1\r\n"
                    "[DIR]\r\nDL_DIR=\r\nUL_DIR=\r\n"
                    "[PROPATY1]\r\nCALLSIGN=\r\nCOMMAND=\r\nCONNECT_FILE=\r\nR=R\r\nSEPARATER=,\r\n"
                    "SORT=0\r\nEXTENTION=\r\nDL_START_STR=\r\nDL_END_STR=\r\n"
                    "DL_START_STR_VALID=0\r\nDL_END_STR_VALID=0\r\nUNPROTO=\r\nSAVER=0\r\n",
                    0),
        0u);
    EXPECT_NE(bytes.find("[PORT_DEVICES]\r\nCOM1=/dev/ttyS0\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("PARITY"), std::string::npos);
}

TEST_F(SettingsIoTest, SavingAsksByTheNameAsGivenAndNoWritesOnlyColoursAndMacros) {
    desktop_.answer(MessageAnswer::no);
    EXPECT_FALSE(save_settings(file(), Settings{}, desktop_));
    EXPECT_FALSE(file().exists());
    ASSERT_EQ(desktop_.messages().size(), 1u);
    FakeDesktop::Message asked = desktop_.messages()[0];
    EXPECT_EQ(asked.text, path() + " に設定を保存しますか？");
    EXPECT_EQ(asked.caption, "Kestrel");
    EXPECT_EQ(asked.buttons, MessageButtons::yes_no);

    ASSERT_TRUE(save_colours_macros(file(), Settings{}));
    EXPECT_EQ(sections(), (std::vector<std::string>{"INYOU_COL", "CURSOR_COL", "AREA_COL",
                                                    "PAUSE_COL", "KEY_MACRO"}));
}

TEST_F(SettingsIoTest, TheExitWriteStoresTheWindowClampedAndTheRecordIndex) {
    Settings s;
    s.window = {-20, -1, 800, 600};
    s.kyokai = 7;
    s.default_fkey_no = 13;
    ASSERT_TRUE(save_window_and_fkey_no(file(), s));
    EXPECT_EQ(read_bytes(path()),
              "[WIN_RECT]\r\nLEFT=0\r\nTOP=0\r\nRIGHT=800\r\nBOTTOM=600\r\nkyokai=7\r\n"
              "[ENV]\r\nDEFAULT_FKEY_NO=13\r\n");
}

TEST_F(SettingsIoTest, SavingKeepsWhatTheOperatorWroteByHand) {
    Settings s = load(
        "; my station\n[RS232C]\nCOM_PORT = 2 ; usb adapter\n\n[MY_NOTES]\nfoo=bar\n"
        "[PORT_DEVICES]\nCOM2=/dev/ttyUSB0\n");
    EXPECT_EQ(s.port_devices[1], "/dev/ttyUSB0");
    EXPECT_EQ(s.port.port_number, 2);
    s.port.port_number = 3;
    ASSERT_TRUE(save_settings(file(), s, desktop_));

    std::string bytes = read_bytes(path());
    EXPECT_EQ(bytes.rfind("; my station\n[RS232C]\nCOM_PORT = 3\nBOUD=9600\r\n", 0), 0u);
    EXPECT_NE(bytes.find("ADD_DSR=1\r\n\n[MY_NOTES]\nfoo=bar\n[PORT_DEVICES]\nCOM2=/dev/ttyUSB0\n"),
              std::string::npos);
}

TEST_F(SettingsIoTest, EveryWrittenValueReadsBackAfterARestart) {
    const Settings saved = full_settings();
    save_everything(file(), saved, desktop_);
    const std::string bytes = read_bytes(path());
    EXPECT_EQ(Profile::load(path()).get("PROPATY2", "SEPARATER", "", 80), "0");  // a space

    Settings loaded = load_everything(file());
    SettingsFile copy(dir_.file("COPY.INI"));
    save_everything(copy, loaded, desktop_);
    EXPECT_EQ(read_bytes(copy.settings_path()), bytes);
    // A value read into the wrong field and written back from it would not change the bytes.
    EXPECT_EQ(loaded.rbbs[23].name, saved.rbbs[23].name);
    EXPECT_EQ(loaded.rbbs[23].separator, " ");
    EXPECT_EQ(loaded.key_macros[25], saved.key_macros[25]);
    EXPECT_EQ(loaded.port, saved.port);

    // Saving the same values again leaves the file as it was.
    save_everything(file(), loaded, desktop_);
    EXPECT_EQ(read_bytes(path()), bytes);
}

}  // namespace
}  // namespace kestrel
