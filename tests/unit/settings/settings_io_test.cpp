#include "core/settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/text/sjis.h"
#include "fake_desktop.h"
#include "file_bytes.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::read_bytes;
using text::sjis;

struct SettingsIoTest : ::testing::Test {
    std::string path() const { return dir_.file("KESTREL.INI"); }
    SettingsFile file() const { return SettingsFile(path()); }
    // Every section's load, as start-up and the windows that keep their own sections do.
    Settings load(std::string_view bytes) {
        testing::write_bytes(path(), bytes);
        Settings s;
        for (auto load :
             {load_settings, load_default_fkey_no, load_window_colours_macros, load_scope_rect,
              load_talk_rect, load_talk_call_sign, load_external_programs})
            load(file(), s);
        return s;
    }

    testing::TempDir dir_;
    testing::FakeDesktop desktop_;
};

// Every key with a value unlike its default and its neighbours', text at its longest, in the
// order a new file gets them: read in and written to a new file, the bytes come out the same.
TEST_F(SettingsIoTest, EveryKeyReadsBackAndANewFileHasThemInWriteOrder) {
    std::string ini =
        "[RS232C]\nCOM_PORT=8\nBOUD=19200\nBIT_LEN=7\nSTOP=2\nHARD_FLOW=1\nLOCAL_ECHO=9\nTX_LF=3\n"
        "RX_LF=5\nUL_WAIT=50\nADD_DSR=6\n[ENV]\nJST=2\nTOOL_BAR=3\nPAUSE_STR=" +
        sjis("【一時停止】") + std::string(67, '*') +
        "\nINYOU_STR=[quote]\nREV_TEXT_COL=4\nBELL_ON=5\nSMALL_PC_SCOPE=6\nTIME_STAMP=7\n"
        "DEFAULT_FKEY_NO=23\n[FONT]\nFONT_TYPE=8\nLOG_FONT_X=9\nLOG_FONT_Y=10\nBS_YOHAKU=11\n"
        "[DIR]\nDL_DIR=" +
        sjis("/home/op/ダウンロード") + "\nUL_DIR=" + std::string(254, 'u') + "\n";
    for (int i = 1; i <= rbbs_count; ++i) {
        const std::string n = std::to_string(i), odd = std::to_string(i % 2);
        ini += "[PROPATY" + n + "]\nCALLSIGN=" + sjis("ＪＡ１ＲＢＢＳ") + n +
               "\nCOMMAND=C JA1BBS-" + n + "\\n\nCONNECT_FILE=c" + n + ".txt\nR=RN" + n +
               "\nSEPARATER=" + (i % 2 ? "0" : "/") + "\nSORT=" + std::to_string(i % 3) +
               "\nEXTENTION=L" + n + "\nDL_START_STR=" + std::string(79, 's') +
               "\nDL_END_STR=" + sjis("終了") + n + "\nDL_START_STR_VALID=" + odd +
               "\nDL_END_STR_VALID=" + std::to_string(1 - i % 2) +
               "\nUNPROTO=" + std::string(80, 'U') + "\nSAVER=1\n";
    }
    ini += "[PORT_DEVICES]\n";
    for (char n = '1'; n <= '0' + port_count; ++n)
        ini += std::string("COM") + n + "=/dev/tty" + n + "\n";
    ini +=
        "RECONNECT=0\n[INYOU_COL]\nR=1\nG=2\nB=3\n[CURSOR_COL]\nR=255\nG=254\nB=253\n"
        "[AREA_COL]\nR=9\nG=99\nB=199\n[PAUSE_COL]\nR=0\nG=0\nB=0\n[KEY_MACRO]\n";
    for (char k = 'A'; k < 'A' + key_macro_count; ++k) ini += k + ("=" + sjis("マクロ") + k) + "\n";
    ini +=
        "[WIN_RECT]\nLEFT=10\nTOP=20\nRIGHT=1000\nBOTTOM=700\nkyokai=12\n[SCOPE_RECT]\nLEFT=1\n"
        "TOP=2\nRIGHT=3\nBOTTOM=4\n[TALK_RECT]\nLEFT=5\nTOP=6\nRIGHT=7\nBOTTOM=8\n[TALK_ENV]\n"
        "CALL_SIGN=JA1XYZ-15\n";
    for (int i = 1; i <= external_program_count; ++i) {
        const std::string n = std::to_string(i);
        ini += "[EXT_EXEC" + n + "]\nNAME=" + sjis("外部") + n + "\nPATH=/usr/bin/p" + n + " -a\n";
    }
    std::string written;  // new lines end in CR LF
    for (char c : ini) written += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Settings loaded = load(ini);
    loaded.port.parity = 2;  // never written
    const SettingsFile copy(dir_.file("COPY.INI"));
    ASSERT_TRUE(save_settings(copy, loaded, desktop_));
    for (auto save : {save_colours_macros, save_window_and_fkey_no, save_scope_rect, save_talk_rect,
                      save_talk_call_sign, save_external_programs})
        ASSERT_TRUE(save(copy, loaded));
    EXPECT_EQ(read_bytes(copy.settings_path()), written);
    EXPECT_EQ(loaded.rbbs[0].separator, " ");  // "0" stands for a space, both ways
}

TEST_F(SettingsIoTest, OutOfRangeValuesAreCorrectedOnlyWhereTheFormatSaysSo) {
    Settings s = load(
        "[RS232C]\nUL_WAIT=-5\n[ENV]\nSMALL_PC_SCOPE=1234567890123\n"
        "[PROPATY1]\nSORT=40000\nSAVER=12\nR=READMESSAGE\n[PROPATY3]\nSEPARATER=;;\n"
        "[INYOU_COL]\nR=300\nG=1000\nB=-1\n");
    EXPECT_EQ(s.port.upload_wait, 0);
    EXPECT_EQ(s.small_pc_scope, 123456789);  // 10-byte buffer
    EXPECT_EQ(s.rbbs[0].sort, 40000 - 65536);
    EXPECT_EQ(s.rbbs[0].saver, 1);
    EXPECT_EQ(s.rbbs[0].read_command, "READMESSA");
    EXPECT_EQ(s.rbbs[2].separator, ";");
    EXPECT_EQ(s.inyou_col, (Colour{44, 100, 255}));

    // COM_PORT outside 1..8 reads as 1; DEFAULT_FKEY_NO, from a 4-byte buffer, outside 0..23 as 0.
    const std::tuple<const char*, const char*, int> rows[] = {
        {"0", "24", 0}, {"9", "-1", 0}, {"-1", "0019", 1}};
    for (const auto& [com, fkey, record] : rows) {
        s = load("[RS232C]\nCOM_PORT=" + std::string(com) + "\n[ENV]\nDEFAULT_FKEY_NO=" + fkey);
        EXPECT_EQ(s.port.port_number, 1) << com;
        EXPECT_EQ(s.default_fkey_no, record) << fkey;
    }
}

// A window pushed off the top or left of the screen would open there again, out of reach.
TEST_F(SettingsIoTest, NoToTheQuestionWritesNothingAndTheExitWriteKeepsTheWindowOnScreen) {
    Settings s;
    s.window = {-20, -1, 800, 600};
    desktop_.answer(MessageAnswer::no);
    EXPECT_FALSE(save_settings(file(), s, desktop_));
    EXPECT_FALSE(file().exists());
    EXPECT_EQ(desktop_.message_texts(),
              std::vector<std::string>{path() + " に設定を保存しますか？"});
    EXPECT_EQ(desktop_.messages().at(0).buttons, MessageButtons::yes_no);
    ASSERT_TRUE(save_window_and_fkey_no(file(), s));
    EXPECT_TRUE(read_bytes(path()).starts_with("[WIN_RECT]\r\nLEFT=0\r\nTOP=0\r\nRIGHT=800\r\n"));
}

}  // namespace
}  // namespace kestrel
