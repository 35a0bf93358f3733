#include "core/transfer/capture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/text/sjis.h"
#include "file_bytes.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;
namespace fs = std::filesystem;

struct CaptureTest : ::testing::Test {
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

TEST_F(CaptureTest, OnlyBellTabLineEndsAndPrintableBytesReachTheFile) {
    start(dir.file("cap.txt"));
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    feed(all);
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("cap.txt")), "\a\t\n\r" + all.substr(32));
}

TEST_F(CaptureTest, ANewFileIsCreatedAnExistingOneAppendedOrOverwrittenAsAnswered) {
    const struct {
        bool ok, overwrite;
        const char *bytes, *after;
    } rows[] = {
        {true, false, "old", "old"},
        {true, false, "+new", "old+new"},
        {true, true, "fresh", "fresh"},
        {false, false, "lost", "fresh"},  // cancelled: nothing opens but the choice is kept
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.bytes);
        desktop.existing_ok = r.ok;
        desktop.existing_overwrite = r.overwrite;
        start(dir.file("old.txt"));
        feed(r.bytes);
        capture.end_download();
        EXPECT_EQ(file_text(dir.file("old.txt")), r.after);
        EXPECT_EQ(capture.overwrite_choice().load(), r.overwrite);
    }
    EXPECT_EQ(desktop.existing_asked, 3);  // not for the new file
}

TEST_F(CaptureTest, RefusalsOpenNothingAndSayWhy) {
    desktop.choose(std::nullopt);  // cancelled: nothing opens, nothing is said
    capture.start_download("");
    EXPECT_TRUE(desktop.messages().empty());

    const std::string read_only = dir.file("ro.txt");
    testing::write_bytes(read_only, "keep");
    ::chmod(read_only.c_str(), 0444);
    start(read_only);
    start(dir.file("missing/sub.txt"));
    EXPECT_FALSE(capture.start_date_named_download(dir.file("nowhere"), "txt"));
    fs::create_directory(dir.file("080305.log"));
    EXPECT_FALSE(capture.start_date_named_download(dir.path(), "log"));
    EXPECT_EQ(desktop.messages().at(0).icon, MessageIcon::warning);
    EXPECT_EQ(desktop.message_texts(),
              (std::vector<std::string>{
                  "ro.txt は書き込み禁止になっています", "ファイルが作成できません",
                  "日付名D/Lに指定されたﾃﾞｨﾚｸﾄﾘｰ " + dir.file("nowhere") + " がありません",
                  "日付名D/Lﾌｧｲﾙ " + dir.path() + "\\080305.log が作成できません"}));

    // A date-named capture opened while the chooser was up, on the very file chosen, keeps it.
    ASSERT_TRUE(capture.start_date_named_download(dir.path(), "txt"));
    feed("spot\r\n");
    desktop.existing_overwrite = true;
    start(dir.file("080305.txt"));
    EXPECT_EQ(desktop.message_texts().back(), "ファイルが作成できません");
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("080305.txt")), "spot\r\n");
}

// The file system spells names in UTF-8; settings and the status line hold CP932.
TEST_F(CaptureTest, DateNamedFilesAreAppendedInTheDownloadDirectoryWhateverItsSpelling) {
    const std::string folder = dir.file("受信"), cp932_folder = text::sjis(folder);
    const fs::path cwd = fs::current_path();
    fs::create_directory(folder);
    for (const std::string& d : {cp932_folder, cp932_folder + "/"}) {
        ASSERT_TRUE(capture.start_date_named_download(d, text::sjis("掲示")));
        EXPECT_EQ(capture.file_name(), text::sjis("080305.掲示"));
        feed("line\r\n");
        capture.end_download();
    }
    EXPECT_EQ(file_text(folder + "/080305.掲示"), "line\r\nline\r\n");
    EXPECT_EQ(fs::current_path(), cwd);

    desktop.choose(folder + "/日誌.txt");
    capture.start_download(cp932_folder);
    EXPECT_EQ(desktop.last_choice().directory, folder);
    EXPECT_EQ(capture.file_name(), text::sjis("日誌.txt"));
}

}  // namespace
}  // namespace kestrel
