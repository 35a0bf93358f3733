// The link's two line records: what was typed since the last CR, for BS, and what was
// received since the last LF, for the download strings and the line consumers.

#include "core/link/rx_line.h"
#include "core/link/typed_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;

// Feeds `keys` as send_char does (CR ends the line, BS takes back) and returns what the
// screen is given: the echoed bytes, and one BS for each BS sent.
std::string echoed(TypedLine& line, const std::string& keys) {
    std::string out;
    for (char k : keys) {
        if (k == '\r') line.clear();
        const TypedLine::Echo e = k == '\b'   ? TypedLine::Echo{line.back_space(), '\b', '\b'}
                                  : k == '\r' ? TypedLine::Echo{1, '\r'}
                                              : line.add(static_cast<std::uint8_t>(k));
        out += std::string{char(e.first), char(e.second)}.substr(0, std::size_t(e.count));
        EXPECT_TRUE(line.count() >= 0 && line.count() <= TypedLine::capacity) << line.count();
    }
    return out;
}

TEST(TypedLine, BackSpaceTakesBackWholeCharactersOfTheCurrentLineOnly) {
    const std::string full(TypedLine::capacity - 1, 'a');
    const struct {
        std::string keys, shown;
        int count;
    } rows[] = {
        {"ab\x82\xA0\b\b\b\b", "ab\x82\xA0\b\b\b\b", 0},
        {"a\x82\b", "a", 2},  // the lead's trail is still to come
        // A lead byte left alone by CR pairs with nothing after it.
        {"\x82\rx\b\b", "\rx\b", 0},
        {"\x93\r\xFA\b\b", "\r", 1},  // 0xFA is itself a lead byte, waiting anew
        {"\x93\r\x82\xA0\b\b", "\r\x82\xA0\b\b", 0},
        {"x\r\b", "x\r", 0},
        // Past the capacity bytes are echoed but not counted, a pair only with room for both.
        {full + "\x82\xA0" + "bb\b", full + "\x82\xA0" + "bb\b", TypedLine::capacity - 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys.substr(0, 16));
        TypedLine line;
        EXPECT_EQ(echoed(line, row.keys), row.shown);
        EXPECT_EQ(line.count(), row.count);
    }
}

// The operator types a key (echoed into the capture) just as the receiver opens a capture:
// the menu refresh that follows the open is the first moment the key can get in.
struct TypingDesktop : testing::LinkDesktop {
    Capture* typing_into = nullptr;
    void menu_refresh() override {
        LinkDesktop::menu_refresh();
        if (Capture* c = std::exchange(typing_into, nullptr)) c->capture_byte('k');
    }
};

// The line processor and the capture, fed in the receiver's order; record 3 frames
// date-named captures with "*** START" and "*** END".
struct RxLineTest : ::testing::Test {
    void SetUp() override {
        settings.dl_dir.assign(dir.path());
        RbbsRecord& record = settings.rbbs[3];
        record.dl_start.assign("*** START");
        record.dl_end.assign("*** END");
        record.extension.assign("bbs");
        record.dl_start_valid = record.dl_end_valid = 1;
        rbbs.current = 3;
    }
    void receive(std::string_view bytes) {
        lines.begin_read();
        for (char ch : bytes) {
            lines.accumulate_byte(static_cast<std::uint8_t>(ch));
            ASSERT_TRUE(!capture.is_open() || capture.capture_received(std::string_view(&ch, 1)));
        }
    }

    testing::TempDir dir;
    TypingDesktop desktop;
    LineStore store{desktop};
    Capture capture{desktop, store};
    Settings settings;
    RbbsShare rbbs;
    LineProcessor lines{capture, settings, rbbs};
};

TEST_F(RxLineTest, LongLineKeepsItsFirstBytesAndTheLatest) {
    std::string bytes;
    for (int i = 1; i <= 300; ++i) bytes += static_cast<char>('A' + i % 26);
    receive(bytes);
    const RxLine& line = lines.rx_line();
    EXPECT_EQ(line.length, 255);
    EXPECT_EQ(std::string(line.bytes.data(), 258), bytes.substr(0, 255) + bytes[299] + '\0' + '\0');
}

TEST_F(RxLineTest, ConsumersGetFinishedLinesOnlyWhileSet) {
    std::vector<std::string> scope, talk;
    lines.set_scope_consumer([&](std::string_view l) { scope.emplace_back(l); });
    receive("DX de JA1ABC:\r\nhalf");
    lines.set_talk_consumer([&](std::string_view l) { talk.emplace_back(l); });
    receive(" line\n");
    lines.set_scope_consumer(nullptr);
    receive(std::string_view("a\0b\r\n", 5));
    lines.set_talk_consumer(nullptr);
    receive("unseen\r\n");
    EXPECT_EQ(scope, (std::vector<std::string>{"DX de JA1ABC:\r", "half line"}));
    EXPECT_EQ(talk, (std::vector<std::string>{"half line", "a"}));
}

// The current record's start and end strings frame a date-named capture, with no typed key
// before the start; nothing else starts one.
TEST_F(RxLineTest, StartAndEndStringsFrameADateNamedCaptureOnlyAtALineStart) {
    desktop.typing_into = &capture;
    receive("before\r\n*** START of message 12\r\nbody\r\n");
    receive("*** END and more\r\nafter\r\n");
    const std::string first = "*** STARkT of message 12\r\nbody\r\n*** END\r\n";
    EXPECT_EQ(file_text(dir.file("080305.bbs")), first);

    // The next start string appends to the same day's file.
    receive("*** START\r\n*** END\r\n");
    EXPECT_EQ(file_text(dir.file("080305.bbs")), first + "*** START\r\n*** END\r\n");

    // None without the current record's start string starting a line.
    // bytes, the start string switched on, the start string, the current record
    const std::tuple<std::string_view, int, const char*, int> rows[] = {
        {"say *** START\r\n", 1, "*** START", 3},
        {"\r*** START\r\n", 1, "*** START", 3},  // a lone CR keeps the line going
        {"*** STAR\r\n", 1, "*** START", 3},
        {"*** START\r\n", 0, "*** START", 3},
        // An empty start string would match a line starting with NUL.
        {std::string_view("\0*** START\r\n", 12), 1, "", 3},
        {"*** START\r\n", 1, "*** START", 4},  // record 4's strings are compared, not 3's
    };
    for (const auto& [bytes, valid, start, current] : rows) {
        SCOPED_TRACE(bytes);
        settings.rbbs[3].dl_start_valid = valid;
        settings.rbbs[3].dl_start.assign(start);
        rbbs.current = current;
        receive(bytes);
        EXPECT_FALSE(capture.is_open());
    }
    // A missing directory is reported at every start line; a normal download is left alone.
    rbbs.current = 3;
    settings.dl_dir.assign(dir.file("gone"));
    receive("*** START\r\n*** START\r\n");
    EXPECT_EQ(desktop.messages().size(), 2u);
    desktop.choose(dir.file("normal.txt"));
    capture.start_download(dir.path());
    receive("*** START\r\n*** END\r\n");
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("normal.txt")), "*** START\r\n*** END\r\n");
}

}  // namespace
}  // namespace kestrel
