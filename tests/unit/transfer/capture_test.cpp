#include "core/transfer/capture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "core/link/rx_line.h"
#include "core/text/sjis.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;

class CaptureTest : public ::testing::Test {
protected:
    void write_file(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    void start(const std::string& path) {
        desktop.choose(path);
        capture.start_download(dir.path());
    }
    void feed(std::string_view bytes) {
        for (char c : bytes) ASSERT_TRUE(capture.capture_byte(static_cast<std::uint8_t>(c)));
    }

    testing::TempDir dir;
    testing::LinkDesktop desktop;
    LineStore store{desktop};
    Capture capture{desktop, store};
};

TEST_F(CaptureTest, FilterPassesBellTabLineEndsAndHighBytesOnly) {
    start(dir.file("cap.txt"));
    ASSERT_TRUE(capture.is_open());
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    feed(all);
    capture.end_download();
    std::string expected = "\a\t\n\r";
    for (int c = 32; c < 256; ++c) expected += static_cast<char>(c);
    EXPECT_EQ(file_text(dir.file("cap.txt")), expected);
}

TEST_F(CaptureTest, TimeStampFollowsEachLineFeed) {
    store.set_time_stamp(true);
    start(dir.file("cap.txt"));
    feed("abc\r\nd");
    // The receiver's buffered form gives the same bytes once flushed.
    ASSERT_TRUE(capture.capture_received("\r\ne"));
    EXPECT_EQ(file_text(dir.file("cap.txt")),
              "abc\r\n[2008-03-05 09:04:07]d\r\n[2008-03-05 09:04:07]e");
}

TEST_F(CaptureTest, NewFileIsCreatedWithoutAskingAndNamedForTheStatusLine) {
    start(dir.file("new.txt"));
    EXPECT_EQ(desktop.existing_asked, 0);
    EXPECT_EQ(capture.mode(), DownloadMode::normal);
    EXPECT_EQ(capture.file_name(), "new.txt");
    EXPECT_EQ(desktop.last_choice().title, text::sjis("ダウンロード"));
    EXPECT_EQ(desktop.last_choice().directory, dir.path());
    EXPECT_GE(desktop.menu_refreshes(), 1);
}

TEST_F(CaptureTest, ExistingFileIsAppendedOrOverwrittenAsAnswered) {
    std::string path = dir.file("old.txt");
    write_file(path, "old");
    start(path);
    feed("+new");
    capture.end_download();
    EXPECT_EQ(file_text(path), "old+new");
    EXPECT_EQ(desktop.existing_asked, 1);

    desktop.existing_overwrite = true;
    start(path);
    feed("fresh");
    capture.end_download();
    EXPECT_EQ(file_text(path), "fresh");
    EXPECT_EQ(capture.overwrite_choice().load(), 1);
}

TEST_F(CaptureTest, CancelledQuestionOpensNothingButKeepsTheChoice) {
    std::string path = dir.file("old.txt");
    write_file(path, "old");
    desktop.existing_ok = false;
    desktop.existing_overwrite = true;
    start(path);
    EXPECT_FALSE(capture.is_open());
    EXPECT_EQ(capture.overwrite_choice().load(), 1);
    EXPECT_EQ(file_text(path), "old");
}

TEST_F(CaptureTest, CancelledChooserAndEmptyNameDoNothing) {
    desktop.choose(std::nullopt);
    capture.start_download("");
    start(dir.path() + "/");
    EXPECT_FALSE(capture.is_open());
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(CaptureTest, ReadOnlyFileIsRefusedWithItsName) {
    std::string path = dir.file("ro.txt");
    write_file(path, "keep");
    ::chmod(path.c_str(), 0444);
    start(path);
    EXPECT_FALSE(capture.is_open());
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, "ro.txt は書き込み禁止になっています");
    EXPECT_EQ(desktop.messages()[0].icon, MessageIcon::warning);
    EXPECT_EQ(file_text(path), "keep");
}

TEST_F(CaptureTest, UncreatableFileIsReported) {
    start(dir.file("missing/sub.txt"));
    EXPECT_FALSE(capture.is_open());
    ASSERT_EQ(desktop.message_texts().size(), 1u);
    EXPECT_EQ(desktop.message_texts()[0], "ファイルが作成できません");
}

TEST_F(CaptureTest, EndDownloadWithoutCaptureStillRefreshesAndBeeps) {
    capture.end_download();
    EXPECT_EQ(capture.mode(), DownloadMode::none);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.menu_refreshes(), 1);
    EXPECT_TRUE(capture.capture_byte('x'));  // nothing open: nothing to fail
}

TEST_F(CaptureTest, WriteFailureIsReportedAndNothingFollowsIt) {
    start("/dev/full");
    ASSERT_TRUE(capture.is_open());
    EXPECT_FALSE(capture.capture_byte('x'));
    EXPECT_FALSE(capture.capture_byte('y'));
    capture.close();
    EXPECT_FALSE(capture.is_open());
    EXPECT_EQ(desktop.beeps(), 1);  // only the existing-file question's
}

TEST_F(CaptureTest, DateNamedFileIsAppendedInTheDownloadDirectory) {
    std::string cwd = std::filesystem::current_path();
    ASSERT_TRUE(capture.start_date_named_download(dir.path(), "txt"));
    EXPECT_EQ(capture.mode(), DownloadMode::date_named);
    EXPECT_EQ(capture.file_name(), "080305.txt");
    feed("one\r\n");
    capture.end_download();
    ASSERT_TRUE(capture.start_date_named_download(dir.path() + "/", "txt"));
    feed("two\r\n");
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("080305.txt")), "one\r\ntwo\r\n");
    EXPECT_EQ(std::filesystem::current_path(), cwd);

    desktop.set_now(1262304000);  // 2010-01-01
    ASSERT_TRUE(capture.start_date_named_download(dir.path(), ""));
    EXPECT_EQ(capture.file_name(), "100101.");
}

TEST_F(CaptureTest, DateNamedFailuresShowTheirMessages) {
    EXPECT_FALSE(capture.start_date_named_download(dir.file("nowhere"), "txt"));
    std::filesystem::create_directory(dir.file("080305.log"));
    EXPECT_FALSE(capture.start_date_named_download(dir.path(), "log"));
    EXPECT_FALSE(capture.is_open());
    auto texts = desktop.message_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "日付名D/Lに指定されたﾃﾞｨﾚｸﾄﾘｰ " + dir.file("nowhere") + " がありません");
    EXPECT_EQ(texts[1], "日付名D/Lﾌｧｲﾙ " + dir.path() + "\\080305.log が作成できません");
}

TEST_F(CaptureTest, JapaneseNamesCrossBetweenSettingsFileSystemAndStatusLine) {
    // The file system spells names in UTF-8; settings and the status line hold CP932.
    std::string folder = dir.file("受信");
    std::filesystem::create_directory(folder);
    std::string cp932_folder = text::sjis(folder);
    ASSERT_TRUE(capture.start_date_named_download(cp932_folder, text::sjis("掲示")));
    EXPECT_EQ(capture.file_name(), text::sjis("080305.掲示"));
    capture.end_download();
    EXPECT_TRUE(std::filesystem::exists(folder + "/080305.掲示"));

    desktop.choose(folder + "/日誌.txt");
    capture.start_download(cp932_folder);
    EXPECT_EQ(desktop.last_choice().directory, folder);
    EXPECT_EQ(capture.file_name(), text::sjis("日誌.txt"));
    capture.end_download();
    EXPECT_TRUE(std::filesystem::exists(folder + "/日誌.txt"));
}

TEST_F(CaptureTest, RefusedOverwriteLeavesTheOpenCaptureItsBytes) {
    // A date-named capture opened while the chooser was up, on the very file chosen.
    ASSERT_TRUE(capture.start_date_named_download(dir.path(), "txt"));
    feed("spot\r\n");
    ASSERT_TRUE(capture.capture_received(""));
    desktop.existing_overwrite = true;
    start(dir.file("080305.txt"));
    EXPECT_EQ(desktop.message_texts().back(), "ファイルが作成できません");
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("080305.txt")), "spot\r\n");
}

// The operator types a key (echoed into the capture) from the UI thread just as the receiver
// opens a date-named capture: the menu refresh that follows the open lets the key in.
class TypingDesktop : public testing::LinkDesktop {
public:
    Capture* capture = nullptr;
    void menu_refresh() override {
        LinkDesktop::menu_refresh();
        if (capture == nullptr) return;
        std::thread ui([this] { capture->capture_byte('k'); });
        ui.join();
        capture = nullptr;
    }
};

TEST(CaptureStartString, NoTypedKeyLandsBeforeTheDateNamedStartString) {
    testing::TempDir dir;
    TypingDesktop desktop;
    LineStore store{desktop};
    Capture capture{desktop, store};
    Settings settings;
    settings.dl_dir.assign(dir.path());
    settings.rbbs[0].dl_start.assign("*** START");
    settings.rbbs[0].dl_start_valid = 1;
    settings.rbbs[0].extension.assign("bbs");
    RbbsShare rbbs;
    LineProcessor lines{capture, settings, rbbs};
    desktop.capture = &capture;
    lines.begin_read();
    for (char c : std::string_view("*** START\r\nbody\r\n")) {
        lines.accumulate_byte(static_cast<std::uint8_t>(c));
        if (capture.is_open()) {
            ASSERT_TRUE(capture.capture_received(std::string_view(&c, 1)));
        }
    }
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("080305.bbs")), "*** STARkT\r\nbody\r\n");
}

}  // namespace
}  // namespace kestrel
