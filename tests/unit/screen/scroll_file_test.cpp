#include "core/screen/scroll_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fake_desktop.h"
#include "ring_access.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

std::set<std::string> names_in(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ScrollFileTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    testing::FakeDesktop desktop;
    std::string path = dir.file("KESTREL.buf");
};

TEST_F(ScrollFileTest, RoundTripKeepsTextMarksSelectionAndCursor) {
    LineStore store(desktop);
    store.first_sized(24);
    store.put_text("first\r\x82\xA0\x82\xA2\r");
    {
        auto lock = testing::RingAccess::lock(store);
        testing::RingAccess::line(store, 24).kind = line_marked;
        testing::RingAccess::line(store, 24).selected = 1;
    }
    ASSERT_TRUE(save_scroll_file(store, path, desktop));

    std::string bytes = read_file(path);
    ASSERT_EQ(bytes.size(), 420016u);
    EXPECT_EQ(std::string(bytes.data(), 8), std::string("\x88\x13\0\0\x19\0\0\0", 8));
    EXPECT_EQ(std::string(bytes.data() + 8, 8), std::string(8, '\0'));
    const char* line24 = bytes.data() + 16 + 24 * 84;
    EXPECT_EQ(line24[0], 1);
    EXPECT_EQ(line24[1], 1);
    EXPECT_STREQ(line24 + 2, "\x82\xA0\x82\xA2");

    LineStore restored(desktop);
    ASSERT_TRUE(load_scroll_file(restored, path, desktop));
    auto lock = testing::RingAccess::lock(restored);
    EXPECT_EQ(testing::RingAccess::current_line(restored), 25);
    EXPECT_STREQ(testing::RingAccess::line(restored, 23).text, "first");
    EXPECT_EQ(testing::RingAccess::line(restored, 24).kind, line_marked);
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(ScrollFileTest, MissingFileIsSilentAndEmptyNameIsReported) {
    LineStore store(desktop);
    EXPECT_FALSE(load_scroll_file(store, dir.file("none.buf"), desktop));
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_FALSE(load_scroll_file(store, "", desktop));
    EXPECT_FALSE(save_scroll_file(store, "", desktop));
    EXPECT_EQ(desktop.message_texts(),
              (std::vector<std::string>{"ｽｸﾛｰﾙﾌｧｲﾙ名がありません", "ｽｸﾛｰﾙﾌｧｲﾙ名がありません"}));
    EXPECT_EQ(desktop.messages()[0].caption, "Kestrel");
}

TEST_F(ScrollFileTest, ShortFileKeepsTheLinesRead) {
    std::string bytes(16 + 3 * 84 + 40, '\0');
    bytes[0] = static_cast<char>(0x88);
    bytes[1] = 0x13;
    bytes[4] = 2;
    std::memcpy(&bytes[16 + 1 * 84 + 2], "kept", 4);
    write_file(path, bytes);

    LineStore store(desktop);
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
    EXPECT_EQ(desktop.message_texts(), std::vector<std::string>{"ｽｸﾛｰﾙﾌｧｲﾙ読み込みｴﾗｰ"});
    auto lock = testing::RingAccess::lock(store);
    EXPECT_EQ(testing::RingAccess::current_line(store), 2);
    EXPECT_STREQ(testing::RingAccess::line(store, 1).text, "kept");
    EXPECT_NE(std::string(testing::RingAccess::line(store, 10).text).find("\x82"),
              std::string::npos);  // banner stays
}

TEST_F(ScrollFileTest, GarbageIsTamedNotTrusted) {
    // A current line outside the ring and text without terminators.
    std::string bytes(420016, 'Z');
    bytes[4] = 0x7F;
    bytes[7] = 0x7F;
    write_file(path, bytes);

    LineStore store(desktop);
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
    EXPECT_EQ(desktop.message_texts(), std::vector<std::string>{"ｽｸﾛｰﾙﾌｧｲﾙ読み込みｴﾗｰ"});
    store.first_sized(24);
    auto lock = testing::RingAccess::lock(store);
    EXPECT_EQ(testing::RingAccess::current_line(store), 23);  // treated as a fresh screen
    EXPECT_EQ(std::strlen(testing::RingAccess::line(store, 0).text), 80u);

    write_file(path, "tiny");
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
}

TEST_F(ScrollFileTest, KindsAndSelectionsTheProgramNeverWritesAreCleared) {
    struct Row {
        std::uint8_t kind, selected, kept_kind, kept_selected;
    } const rows[] = {{3, 1, 3, 1}, {2, 0, 2, 0}, {4, 2, 0, 0}, {0xFF, 0xFF, 0, 0}, {1, 7, 1, 0}};
    std::string bytes(420016, '\0');
    bytes[0] = static_cast<char>(0x88);
    bytes[1] = 0x13;
    bytes[4] = 24;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        bytes[16 + i * 84] = static_cast<char>(rows[i].kind);
        bytes[16 + i * 84 + 1] = static_cast<char>(rows[i].selected);
    }
    write_file(path, bytes);
    LineStore store(desktop);
    ASSERT_TRUE(load_scroll_file(store, path, desktop));
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    const std::string saved = read_file(path);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<std::uint8_t>(saved[16 + i * 84]), rows[i].kept_kind);
        EXPECT_EQ(static_cast<std::uint8_t>(saved[16 + i * 84 + 1]), rows[i].kept_selected);
    }
}

TEST_F(ScrollFileTest, SaveMakesAFreshFileOfItsOwnAndNeverFollowsALink) {
    // A link planted where a save might put its new file must lead nowhere.
    write_file(dir.file("victim"), "keep");
    std::filesystem::create_symlink(dir.file("victim"), path + ".tmp");
    LineStore store(desktop);
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    EXPECT_EQ(read_file(dir.file("victim")), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(read_file(path).size(), 420016u);
    EXPECT_EQ(names_in(dir.path()),
              (std::set<std::string>{"KESTREL.buf", "KESTREL.buf.tmp", "victim"}));
}

TEST_F(ScrollFileTest, FailedSavesAreReportedAndKeepThePreviousFile) {
    LineStore store(desktop);
    store.put_text("precious\r");
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    const std::string before = read_file(path);
    store.put_text("lost\r");

    EXPECT_FALSE(save_scroll_file(store, dir.file("gone/KESTREL.buf"), desktop));
    EXPECT_EQ(desktop.message_texts().back(), "ｽｸﾛｰﾙﾌｧｲﾙが作成できません");
    // The disk fills up half-way through the write (in a child, where the limit stays).
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        const bool reported = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                              !save_scroll_file(store, path, desktop) &&
                              desktop.message_texts().back() == "ｽｸﾛｰﾙﾌｧｲﾙ書き込みｴﾗｰ";
        ::_exit(reported ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_file(path), before);
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"KESTREL.buf"});
}

TEST_F(ScrollFileTest, LoadRemovesNewFilesThatACrashedSaveLeft) {
    LineStore store(desktop);
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    const std::string stale = path + ".tmp77-3", fresh = path + ".tmp77-4";
    write_file(stale, "half");
    write_file(fresh, "half");
    timespec hour_ago[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, stale.c_str(), hour_ago, 0);
    EXPECT_TRUE(load_scroll_file(store, path, desktop));
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"KESTREL.buf", "KESTREL.buf.tmp77-4"}));
}

}  // namespace
}  // namespace kestrel
