// Uploads over a real pseudo-terminal with the real worker thread: what reaches the TNC,
// pauses and HOME, Abort wherever the worker waits, and every refusal.

#include "core/transfer/upload.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/text/sjis.h"
#include "file_bytes.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::eventually;

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.slave_path().empty());
        ASSERT_TRUE(rig.link->open_port());
        // Local echo with a capture: the capture file holds exactly the bytes sent so far.
        rig.desktop.choose(capture_path);
        rig.capture.start_download(dir.path());
        ASSERT_TRUE(rig.capture.is_open());
    }
    void TearDown() override { upload.stop(); }

    bool start_file(std::string_view bytes, const std::string& name = "up.txt") {
        testing::write_bytes(dir.file(name), bytes);
        rig.desktop.choose(dir.file(name));
        return upload.start_file();
    }
    std::string sent() { return testing::file_text(capture_path); }
    // Runs the upload to its end, pressing HOME at each pause; "|P|" marks where it paused.
    std::string run_to_end() {
        std::string out;
        std::size_t at = 0;
        for (;;) {
            EXPECT_TRUE(eventually([&] { return upload.paused() || !upload.running(); }));
            if (!upload.running()) break;
            const std::string so_far = sent();
            out += so_far.substr(at) + "|P|";
            at = so_far.size();
            EXPECT_TRUE(upload.resume());
        }
        const std::string all = sent();
        EXPECT_EQ(pty.read(all.size()), all);
        return out + all.substr(at);
    }
    std::string last_message() {
        auto texts = rig.desktop.message_texts();
        return texts.empty() ? "" : texts.back();
    }

    testing::PtyPair pty;
    testing::TempDir dir;
    std::string capture_path = dir.file("capture.log");
    testing::LinkRig rig{pty.slave_path()};
    Upload upload{*rig.link, rig.store, rig.capture, rig.settings, rig.desktop};
};

TEST_F(UploadTest, FilesAndClipboardOnTheWire) {
    struct Case {
        const char* name;
        bool clipboard;
        std::string text, wire, message;
    };
    const Case cases[] = {
        {"LF-only file with one pause line", false, "abc\n/**/\ndef\n", "abc\r|P|def\r", ""},
        {"CP932 file sent unchanged", false, text::sjis("ｱあ\r\n"), text::sjis("ｱあ") + "\r", ""},
        {"UTF-8 file converted", false, "ｱあ😀\n", text::sjis("ｱあ") + "?\r",
         "Shift-JISにない文字 1 個は ? で送ります"},
        {"clipboard without a final line end", true, "one\ntwo", "one\rtwo", ""},
        {"clipboard ending in CR LF", true, "one\r\n/**/\r\ntwo\r\n", "one\r|P|two\r", ""},
        {"clipboard converted", true, "漢\xED\x95\x9C\n", text::sjis("漢") + "?\r",
         "Shift-JISにない文字 1 個は ? で送ります"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.capture.end_download();
        ::unlink(capture_path.c_str());
        rig.desktop.choose(capture_path);
        rig.capture.start_download(dir.path());
        const std::size_t messages = rig.desktop.messages().size();
        const int beeps = rig.desktop.beeps();
        ASSERT_TRUE(c.clipboard ? upload.start_clipboard(c.text) : start_file(c.text));
        EXPECT_EQ(upload.name(), c.clipboard ? text::sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L") : "up.txt");
        EXPECT_EQ(run_to_end(), c.wire);
        EXPECT_EQ(rig.desktop.messages().size() > messages ? last_message() : "", c.message);
        // One beep at each pause, one at the end.
        const auto pauses = static_cast<int>(c.wire.find("|P|") != std::string::npos);
        EXPECT_TRUE(eventually([&] { return rig.desktop.beeps() == beeps + pauses + 1; }));
    }
}

TEST_F(UploadTest, PauseNoticeInThePauseKindAndHomeOnlyWhenPaused) {
    EXPECT_FALSE(upload.resume());
    ASSERT_TRUE(start_file("abc\r\n/**/\r\ndef\r\n"));
    ASSERT_TRUE(eventually([&] { return upload.paused(); }));
    EXPECT_EQ(upload.kind(), UploadKind::file);
    EXPECT_EQ(pty.read(4), "abc\r");
    std::string notice = upload::pause_notice();
    notice.pop_back();
    EXPECT_EQ(rig.screen_line(1), notice);
    rig.store.with_line(1, [](ScreenLine& line) { EXPECT_EQ(line.kind, line_pause_notice); });
    EXPECT_EQ(pty.drain(), "");
    EXPECT_TRUE(upload.resume());
    EXPECT_FALSE(upload.resume());
    EXPECT_EQ(pty.read(4), "def\r");
}

// Abort wherever the worker waits: no byte follows it, the file is closed, the beep sounds.
TEST_F(UploadTest, AbortWhilePausedSleepingOrBlockedOnAFullQueue) {
    const auto open_fds = [&](const std::string& path) {
        int n = 0;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            n += std::filesystem::read_symlink(fd.path(), ec) == path;
        }
        return n;
    };
    std::size_t before = 0;  // the capture's size when the row starts
    std::string big;
    while (big.size() < (1 << 20)) big += std::string(78, 'x') + "\x82\xA0\r\n";  // CP932
    struct Case {
        const char* name;
        int wait_ms;
        std::string text;
        std::function<bool()> waiting;
        const char* prompt = "";
    };
    const Case cases[] = {
        {"paused", 0, "a\r\n/**/\r\nb\r\n", [&] { return upload.paused(); }},
        {"waiting for a prompt", 0, "a\r\nb\r\n", [&] { return sent().size() == before + 2; },
         "CMD>"},
        {"sleeping at UL_WAIT 5000", 5000, "abc\r\n", [] { return true; }},
        // The far end reads nothing: the queue fills and the send waits for room.
        {"blocked on a full output queue", 0, big,
         [&, last = std::size_t(0)]() mutable {
             const std::size_t now = sent().size();
             const bool stalled = now > 4096 && now == last;
             last = now;
             usleep(20000);
             return stalled;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.settings.port.upload_wait = c.wait_ms;
        rig.settings.rbbs[0].prompt_wait.assign(c.prompt);
        before = sent().size();
        ASSERT_TRUE(start_file(c.text, "abort.txt"));
        ASSERT_TRUE(eventually(c.waiting));
        EXPECT_EQ(open_fds(dir.file("abort.txt")), c.text == big ? 1 : 0);  // big: read as it goes
        const int beeps = rig.desktop.beeps();
        upload.abort();
        EXPECT_FALSE(upload.running());
        EXPECT_FALSE(upload.paused());
        EXPECT_EQ(rig.desktop.beeps(), beeps + 1);
        EXPECT_EQ(open_fds(dir.file("abort.txt")), 0);
        // Everything the port took was captured; nothing more arrives.
        const std::size_t count = sent().size() - before;
        EXPECT_EQ(pty.read(count).size(), count);
        EXPECT_EQ(pty.read(1, 200), "");
    }
}

// With the record's prompt each line waits until the prompt ends the received line, also
// when it comes in pieces; one cut by LF does not count, and the time-out pauses.
TEST_F(UploadTest, PromptPacedLinesWaitForThePrompt) {
    rig.settings.rbbs[0].prompt_wait.assign(" CMD> ");
    rig.settings.rbbs[0].prompt_timeout = 1;
    ASSERT_TRUE(start_file("one\r\ntwo\r\nthree\r\nfour\r\n"));
    EXPECT_EQ(pty.read(4), "one\r");
    pty.write("\r\nok\rCM");
    pty.write("D>");
    EXPECT_EQ(pty.read(4), "two\r");
    pty.write("CMD>");
    EXPECT_EQ(pty.read(6), "three\r");
    pty.write("CM\nD>");
    ASSERT_TRUE(eventually([&] { return upload.paused(); }));
    EXPECT_NE(rig.screen_line(1).find(text::sjis("ﾌﾟﾛﾝﾌﾟﾄが 1秒 来ません")), std::string::npos);
    EXPECT_EQ(pty.drain(), "");
    EXPECT_TRUE(upload.resume());
    EXPECT_EQ(pty.read(5), "four\r");
    EXPECT_TRUE(eventually([&] { return !upload.running(); }));
}

// A capture that cannot be written ends the download and the upload, with the message of
// the upload's kind.
TEST_F(UploadTest, FailedCaptureEndsTheUpload) {
    for (bool clipboard : {false, true}) {
        SCOPED_TRACE(clipboard ? "clipboard" : "file");
        rig.capture.end_download();
        rig.desktop.choose("/dev/full");
        rig.capture.start_download(dir.path());
        ASSERT_TRUE(clipboard ? upload.start_clipboard("ab\n") : start_file("ab\n"));
        ASSERT_TRUE(eventually([&] { return !upload.running(); }));
        EXPECT_FALSE(rig.capture.is_open());
        EXPECT_EQ(last_message(),
                  clipboard ? "書き込みエラーが発生しました" : "D/L書き込みエラーが発生しました");
        EXPECT_EQ(rig.desktop.messages().back().icon, MessageIcon::warning);
        EXPECT_EQ(pty.read(2, 300), "a");  // the byte whose capture failed, and no other
    }
}

TEST_F(UploadTest, RefusalsAndFailedStartsLeaveNothingRunning) {
    rig.settings.ul_dir.assign(dir.path());
    const auto chosen = [&](const std::string& path) {
        rig.desktop.choose(path);
        return upload.start_file();
    };
    struct Case {
        const char* name;
        std::function<bool()> start;
        std::string message;
        MessageIcon icon;
    };
    const Case cases[] = {
        {"chooser cancelled", [&] { return upload.start_file(); }, "", MessageIcon::none},
        {"file missing", [&] { return chosen(dir.file("gone.txt")); }, "gone.txt が見つかりません",
         MessageIcon::warning},
        // A directory opens but does not read.
        {"file unreadable", [&] { return chosen(dir.path()); }, "ファイル読み込みエラー",
         MessageIcon::none},
        {"connect file missing", [&] { return upload.start_connect_file("none.txt"); },
         "U/Lファイルを開けません", MessageIcon::warning},
        {"no connect file", [&] { return upload.start_connect_file(""); }, "", MessageIcon::none},
        {"clipboard unreadable", [&] { return upload.start_clipboard(std::nullopt); },
         "ｸﾘｯﾌﾟﾎﾞｰﾄﾞが ｵｰﾌﾟﾝできません", MessageIcon::none},
        {"clipboard empty", [&] { return upload.start_clipboard(std::string("\0x", 2)); },
         "ｸﾘｯﾌﾟﾎﾞｰﾄﾞが空です", MessageIcon::none},
        {"TNC off",
         [&] {
             rig.modem->dsr_on = false;
             const bool started = upload.start_clipboard("x");
             rig.modem->dsr_on = true;
             return started;
         },
         "TNCが接続されていないか電源が入っていません", MessageIcon::none},
        {"port closed",
         [&] {
             // Without the DSR watch the TNC counts as connected, port or not.
             rig.settings.port.dsr_watch = 0;
             rig.link->open_port();
             rig.link->close_port();
             const bool started = upload.start_file();
             rig.settings.port.dsr_watch = 1;
             EXPECT_TRUE(rig.link->open_port());
             return started;
         },
         "通信ポートがオープンされていません", MessageIcon::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = rig.desktop.messages().size();
        EXPECT_FALSE(c.start());
        EXPECT_FALSE(upload.running());
        const auto messages = rig.desktop.messages();
        ASSERT_EQ(messages.size(), before + (c.message.empty() ? 0 : 1));
        if (c.message.empty()) continue;
        EXPECT_EQ(messages.back().text, c.message);
        EXPECT_EQ(messages.back().icon, c.icon);
    }

    // One upload at a time, whichever command starts the second: the first goes on.
    testing::write_bytes(dir.file("conn.txt"), "/**/\r\nc\r\n");
    ASSERT_TRUE(upload.start_connect_file("conn.txt"));
    ASSERT_TRUE(eventually([&] { return upload.paused(); }));
    const std::size_t before = rig.desktop.messages().size();
    EXPECT_FALSE(start_file("x\r\n"));
    EXPECT_FALSE(upload.start_clipboard("x"));
    EXPECT_FALSE(upload.start_connect_file("conn.txt"));
    const auto texts = rig.desktop.message_texts();
    EXPECT_EQ(texts.size(), before + 3);
    EXPECT_EQ(texts.back(), "すでにｱｯﾌﾟﾛｰﾄﾞ中です");
    EXPECT_EQ(upload.name(), "conn.txt");
    EXPECT_EQ(run_to_end(), "|P|c\r");
}

}  // namespace
}  // namespace kestrel
