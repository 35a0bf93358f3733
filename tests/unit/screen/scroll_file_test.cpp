#include "core/screen/scroll_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "core/settings/replace_file.h"
#include "fake_desktop.h"
#include "file_bytes.h"
#include "ring_access.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// `size` bytes of a file whose header gives 5000 lines and `current` as the current line.
std::string scroll_bytes(std::size_t size, int current, char fill = '\0') {
    std::string bytes(size, fill);
    std::memcpy(bytes.data(), "\x88\x13\0\0", 4);
    bytes[4] = static_cast<char>(current);
    return bytes;
}

struct ScrollFileTest : ::testing::Test {
    TempDir dir;
    FakeDesktop desktop;
    LineStore store{desktop};
    std::string path = dir.file("KESTREL.buf");
};

// A missing file is silent and no name at all is reported; what is saved loads back.
TEST_F(ScrollFileTest, RoundTripKeepsTextMarksSelectionAndCursor) {
    EXPECT_FALSE(load_scroll_file(store, dir.file("none.buf"), desktop));
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_FALSE(load_scroll_file(store, "", desktop));
    EXPECT_FALSE(save_scroll_file(store, "", desktop));
    EXPECT_EQ(desktop.message_texts(), std::vector<std::string>(2, "ｽｸﾛｰﾙﾌｧｲﾙ名がありません"));
    store.first_sized(24);
    store.put_text("first\r\x82\xA0\x82\xA2\r");
    store.with_line(1, [](ScreenLine& line) { line.kind = line_marked, line.selected = 1; });
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    const std::string bytes = read_bytes(path);
    ASSERT_EQ(bytes.size(), 420016u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("\x88\x13\0\0\x19\0\0\0", 8) + std::string(8, '\0'));
    EXPECT_EQ(bytes.substr(16 + 24 * 84, 7), std::string("\1\1\x82\xA0\x82\xA2\0", 7));

    LineStore restored(desktop);
    ASSERT_TRUE(load_scroll_file(restored, path, desktop));
    auto lock = RingAccess::lock(restored);
    EXPECT_EQ(RingAccess::current_line(restored), 25);
    EXPECT_EQ(RingAccess::line(restored, 24).kind, line_marked);
}

// A line from disk is trusted no further than the ring's own rules.
TEST_F(ScrollFileTest, DamagedFilesAreReportedAndNotTrusted) {
    // Cut short: the lines read are kept, with any kind or selection the program never writes
    // cleared, and the rest (the banner) stays.
    std::string bytes = scroll_bytes(16 + 3 * 84 + 40, 2);
    for (int i : {0, 1, 2}) std::memcpy(&bytes[16 + i * 84], &"\3\1\4\1\1\2"[2 * i], 2);
    std::memcpy(&bytes[16 + 84 + 2], "kept", 4);
    write_bytes(path, bytes);
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
    {
        auto lock = RingAccess::lock(store);
        EXPECT_EQ(RingAccess::current_line(store), 2);
        EXPECT_STREQ(RingAccess::line(store, 1).text, "kept");
        EXPECT_NE(std::string(RingAccess::line(store, 10).text).find("\x82"), std::string::npos);
        std::string kinds;  // kind and selection of each line read
        for (int i : {0, 1, 2})
            kinds += {char('0' + RingAccess::line(store, i).kind),
                      char('0' + RingAccess::line(store, i).selected)};
        EXPECT_EQ(kinds, "310110");
    }
    // A current line outside the ring and text without terminators: a fresh screen.
    bytes = scroll_bytes(420016, 0x7F, 'Z');
    bytes[7] = 0x7F;
    write_bytes(path, bytes);
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
    store.first_sized(24);
    {
        auto lock = RingAccess::lock(store);
        EXPECT_EQ(RingAccess::current_line(store), 23);
        EXPECT_EQ(std::strlen(RingAccess::line(store, 0).text), 80u);
    }
    write_bytes(path, "tiny");
    EXPECT_FALSE(load_scroll_file(store, path, desktop));
    EXPECT_EQ(desktop.message_texts(), std::vector<std::string>(3, "ｽｸﾛｰﾙﾌｧｲﾙ読み込みｴﾗｰ"));
}

// Saves replace the file in one step or not at all, and the next load clears what a crash
// in the middle of one left.
TEST_F(ScrollFileTest, SavesKeepThePreviousFileUntilTheNewOneIsWhole) {
    std::string probe;  // the name of a new file; the next save's has the next serial number
    replace_file_by(dir.file("probe"), [&](int fd) {
        probe = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
        return true;
    });
    const std::string planted = "KESTREL.buf.tmp" + std::to_string(::getpid()) + "-" +
                                std::to_string(std::stoi(probe.substr(probe.rfind('-') + 1)) + 1);
    write_bytes(dir.file("victim"), "keep");
    fs::create_symlink(dir.file("victim"), dir.file(planted));
    store.put_text("precious\r");
    ASSERT_TRUE(save_scroll_file(store, path, desktop));
    EXPECT_EQ(read_bytes(dir.file("victim")), "keep");
    const std::string before = read_bytes(path);

    store.put_text("lost\r");
    EXPECT_FALSE(save_scroll_file(store, dir.file("gone/KESTREL.buf"), desktop));
    EXPECT_EQ(desktop.message_texts().back(), "ｽｸﾛｰﾙﾌｧｲﾙが作成できません");
    // The disk fills up half-way through the write (in a child, where the limit stays).
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{4096, 4096};
        ::_exit(!(::setrlimit(RLIMIT_FSIZE, &size) == 0 &&
                  !save_scroll_file(store, path, desktop) &&
                  desktop.message_texts().back() == "ｽｸﾛｰﾙﾌｧｲﾙ書き込みｴﾗｰ"));
    }
    int status = -1;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_bytes(path), before);

    // An hour-old new file goes (which ones go is the settings file's test).
    write_bytes(path + ".tmp77-3", "half");
    age_by(path + ".tmp77-3", 3600);
    EXPECT_TRUE(load_scroll_file(store, path, desktop));
    EXPECT_EQ(names_in(dir.path()),
              (std::set<std::string>{"KESTREL.buf", planted, "probe", "victim"}));
}

}  // namespace
}  // namespace kestrel
