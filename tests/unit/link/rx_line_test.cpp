#include "core/link/rx_line.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

using testing::file_text;

// The line processor and the capture, fed in the receiver's order; record 3 frames
// date-named captures with "*** START" and "*** END".
class RxLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.dl_dir.assign(dir.path());
        RbbsRecord& record = settings.rbbs[3];
        record.dl_start.assign("*** START");
        record.dl_end.assign("*** END");
        record.dl_start_valid = record.dl_end_valid = 1;
        record.extension.assign("bbs");
        rbbs.current = 3;
    }
    void receive(std::string_view bytes) {
        lines.begin_read();
        for (char ch : bytes) {
            lines.accumulate_byte(static_cast<std::uint8_t>(ch));
            if (capture.is_open()) {
                ASSERT_TRUE(capture.capture_received(std::string_view(&ch, 1)));
            }
        }
    }

    testing::TempDir dir;
    testing::LinkDesktop desktop;
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
    receive("\n");
    EXPECT_EQ(line.length, 0);
    EXPECT_EQ(line.bytes[0], 0);
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

TEST_F(RxLineTest, StartAndEndStringsFrameADateNamedCapture) {
    receive("before\r\n*** START of message 12\r\nbody\r\n");
    EXPECT_EQ(capture.mode(), DownloadMode::date_named);
    receive("*** END and more\r\nafter\r\n");
    EXPECT_FALSE(capture.is_open());
    const std::string first = "*** START of message 12\r\nbody\r\n*** END\r\n";
    EXPECT_EQ(file_text(dir.file("080305.bbs")), first);
    EXPECT_EQ(desktop.beeps(), 1);

    // The next start string appends to the same day's file.
    receive("*** START\r\n*** END\r\n");
    EXPECT_EQ(file_text(dir.file("080305.bbs")), first + "*** START\r\n*** END\r\n");
}

TEST_F(RxLineTest, NoCaptureWithoutTheCurrentRecordsStartStringAtTheStartOfALine) {
    using namespace std::string_view_literals;
    // bytes, the start string switched on, the start string, the current record
    const std::tuple<std::string_view, int, const char*, int> rows[] = {
        {"say *** START\r\n", 1, "*** START", 3},
        {"\r*** START\r\n", 1, "*** START", 3},  // a lone CR keeps the line going
        {"*** STAR\r\n", 1, "*** START", 3},
        {"*** START\r\n", 0, "*** START", 3},
        {"\0*** START\r\n"sv, 1, "", 3},       // an empty string would match a line starting NUL
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
}

TEST_F(RxLineTest, NormalDownloadIsNeitherEndedNorReplaced) {
    desktop.choose(dir.file("normal.txt"));
    capture.start_download(dir.path());
    receive("*** START\r\n*** END\r\n");
    EXPECT_EQ(capture.mode(), DownloadMode::normal);
    capture.end_download();
    EXPECT_EQ(file_text(dir.file("normal.txt")), "*** START\r\n*** END\r\n");
}

TEST_F(RxLineTest, MissingDirectoryIsReportedAgainAtTheNextStartLine) {
    settings.dl_dir.assign(dir.file("gone"));
    receive("*** START\r\n*** START\r\n");
    EXPECT_FALSE(capture.is_open());
    EXPECT_EQ(desktop.messages().size(), 2u);
}

}  // namespace
}  // namespace kestrel
