// The RBBS commands' text rules: message numbers in the list layouts BBS programs print,
// the connect command's "\n", and the continuous read command's order and bounds.

#include "core/bbs/rbbs_commands.h"

#include <gtest/gtest.h>

#include <climits>

namespace kestrel {
namespace {

TEST(RbbsCommands, MessageNumberOfAListLine) {
    const struct Case {
        const char* name;
        std::string text;
        int number;
    } cases[] = {
        {"right-aligned, blank-filled field", "   12  1834 ALL    JA1ABC  05/01", 12},
        {"left-aligned at the line start", "12     1834 ALL    JA1ABC  05/01", 12},
        {"leading zeros after blanks", "  0042 more text", 42},
        {"letters first", "No  Size To", 0},
        {"heading with a blank first", " Msg# 12", 0},
        {"a tab is not a blank", "\t12", 0},
        {"empty", "", 0},
        {"only the first 20 bytes count", std::string(20, ' ') + "5", 0},
        {"a number cut by the 20 bytes", std::string(17, ' ') + "12345", 123},
        {"time stamp skipped", "[2024-05-01 12:34:56]   7  1834 ALL", 7},
        {"a bracketed text is no stamp", "[End of message]", 0},
        {"too large saturates", "99999999999999999", INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(message_number(c.text), c.number);
    }
}

TEST(RbbsCommands, ConnectCommandBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"C JA1BBS\\n", "C JA1BBS\r"}, {"C JA1BBS", "C JA1BBS"},
        {"C A\\NL\\n", "C A\rL\r"},    {"a\\", "a\\"},
        {"\\x\\\\n", "\\x\\\r"},       {"", ""},
    };
    for (const auto& [command, bytes] : cases) {
        SCOPED_TRACE(command);
        EXPECT_EQ(connect_command_bytes(command), bytes);
    }
}

TEST(RbbsCommands, ContinuousReadText) {
    const struct Case {
        const char *name, *read_command, *separator;
        int sort;
        std::vector<int> numbers;
        const char* text;
    } cases[] = {
        {"ascending", "R", ",", 1, {12, 5, 30}, "R 5,12,30"},
        {"descending", "R", ",", 2, {7, 30, 12}, "R 30,12,7"},
        {"as marked", "R", ",", 0, {7, 30, 12}, "R 7,30,12"},
        {"unknown order as marked", "R", ",", 5, {7, 30, 12}, "R 7,30,12"},
        {"one number", "R", ",", 2, {12}, "R 12"},
        {"blank separator (stored as 0)", "READ", " ", 1, {3, 2, 1}, "READ 1 2 3"},
        {"two-byte separator dropped whole", "R", "\201A", 1, {2, 1}, "R 1\201A2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadCommandText read =
            continuous_read_text(c.read_command, c.separator, c.sort, c.numbers);
        EXPECT_EQ(read.text, c.text);
        EXPECT_EQ(read.taken, std::vector<bool>(c.numbers.size(), true));
    }
}

TEST(RbbsCommands, ContinuousReadLeavesOutWhatPassesTheBound) {
    // "R " and 682 times "99999," make 4094 bytes: the next long number is left out, the
    // short one after it still fits.
    std::vector<int> numbers(683, 99999);
    numbers.push_back(1);
    const ReadCommandText read = continuous_read_text("R", ",", 0, numbers);
    EXPECT_EQ(read.text.size(), max_read_text - 1);
    EXPECT_TRUE(read.text.ends_with("99999,1"));
    EXPECT_FALSE(read.taken[682]);
    EXPECT_TRUE(read.taken[681]);
    EXPECT_TRUE(read.taken[683]);

    // Sorted, the numbers that do not fit are the largest, wherever their lines are.
    const ReadCommandText sorted = continuous_read_text("R", ",", 2, numbers);
    EXPECT_TRUE(sorted.text.ends_with(",1"));
    EXPECT_EQ(std::count(sorted.taken.begin(), sorted.taken.end(), false), 1);
}

}  // namespace
}  // namespace kestrel
