// Copy out: the selected lines, oldest first, to the clipboard's text or into a file.

#include "core/transfer/copy_out.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "core/text/sjis.h"
#include "file_bytes.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

class CopyOutTest : public ::testing::Test {
protected:
    void select(int age) {
        store.with_line(age, [](ScreenLine& line) { line.selected = 1; });
    }

    testing::LinkDesktop desktop;
    LineStore store{desktop};
    std::atomic<int> overwrite{0};
};

TEST_F(CopyOutTest, WalkFollowsTheRingFromItsOldestLine) {
    // 5002 lines wrap the ring: the oldest kept line is L3, the newest complete one L5001,
    // then "tail" still being written.
    for (int i = 0; i < 5002; ++i) store.put_text("L" + std::to_string(i) + "\r");
    store.put_text("tail");
    for (int age : {1, LineStore::line_count - 1, 2500}) select(age);
    select(0);  // the line being written is never copied
    EXPECT_EQ(selected_lines_text(store, ">", false), "L3\r\nL2502\r\nL5001\r\n");
}

TEST_F(CopyOutTest, QuoteMarkEmptyLinesAndTheClipboardsText) {
    store.put_text("\xB1\xB2\r\r" + text::sjis("漢字") + "\rnow");
    for (int age : {1, 2, 3}) select(age);
    for (const std::string q : {"", ">"}) {  // as received, then quoted
        SCOPED_TRACE(q);
        EXPECT_EQ(selected_lines_text(store, ">", !q.empty()),
                  q + "\xB1\xB2\r\n" + q + "\r\n" + q + text::sjis("漢字") + "\r\n");
        EXPECT_EQ(copy_to_clipboard_text(store, desktop, ">", !q.empty()),
                  q + "ｱｲ\n" + q + "\n" + q + "漢字\n");
    }
    store.clear_selection();
    EXPECT_EQ(copy_to_clipboard_text(store, desktop, ">", false), std::nullopt);
}

TEST_F(CopyOutTest, FileIsCreatedAppendedOverwrittenOrRefused) {
    testing::TempDir dir;
    store.put_text("one\rtwo\r");
    select(1);
    const std::string text = "two\r\n";
    const std::string file = dir.file("copy.txt");
    const struct Case {
        const char* name;
        std::optional<std::string> path;  // what the chooser answers
        std::optional<std::string> old;   // the file before, when it exists
        bool read_only, ok, answer_overwrite;
        std::string after, message;
    } cases[] = {
        {"cancelled chooser", std::nullopt, std::nullopt, false, true, false, "", ""},
        {"new file", file, std::nullopt, false, true, false, text, ""},
        {"appended", file, "old\r\n", false, true, false, "old\r\n" + text, ""},
        {"overwritten", file, "old\r\n", false, true, true, text, ""},
        {"question cancelled", file, "old\r\n", false, false, true, "old\r\n", ""},
        {"read-only file", file, "old\r\n", true, true, false, "old\r\n",
         "copy.txt は書き込み禁止になっています"},
        {"cannot be created", dir.file("none/copy.txt"), std::nullopt, false, true, false, "",
         "ファイルが作成できません"},
        {"disk full", "/dev/full", std::nullopt, false, true, false, "", "ファイル書き込みエラー"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink(file.c_str());
        if (c.old) testing::write_bytes(file, *c.old);
        if (c.read_only) ::chmod(file.c_str(), 0444);
        desktop.existing_ok = c.ok;
        desktop.existing_overwrite = c.answer_overwrite;
        desktop.choose(c.path);
        const std::size_t before = desktop.messages().size();
        copy_to_file(store, desktop, overwrite, dir.path(), ">", false);
        if (c.path == file) {
            EXPECT_EQ(testing::read_bytes(file), c.after);
        }
        const auto messages = desktop.message_texts();
        EXPECT_EQ(messages.size() > before ? messages.back() : "", c.message);
        EXPECT_EQ(overwrite.load(), c.old && !c.read_only && c.answer_overwrite ? 1 : 0);
        overwrite = 0;
    }
    EXPECT_EQ(desktop.last_choice().directory, dir.path());
    EXPECT_EQ(store.count_selected(), 1);

    // Nothing selected: not even the chooser, so no file appears.
    store.clear_selection();
    ::unlink(file.c_str());
    desktop.choose(file);
    copy_to_file(store, desktop, overwrite, dir.path(), ">", false);
    EXPECT_NE(::access(file.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace kestrel
