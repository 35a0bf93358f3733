#include "core/screen/command_history.h"

#include <gtest/gtest.h>

#include <string>

using kestrel::CommandHistory;

static void type(CommandHistory& h, std::string_view bytes) {
    for (char c : bytes) h.input_char(static_cast<std::uint8_t>(c));
}

TEST(CommandHistory, TypedLineAfterEditing) {
    const struct {
        std::string typed, line;
        int length;
    } rows[] = {
        {"x\x82\xA0\b", "x", 1},     // a whole pair goes
        {"x\x82\b", "x\x82", 2},     // a lone first byte stays
        {"x\x82\b\xA0\b\b", "", 0},  // its pair completed: both go, then x
        // The 160th byte is overwritten by every further one.
        {std::string(159, 'a') + "bcd", std::string(159, 'a') + "d", 159},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        CommandHistory h;
        type(h, r.typed);
        EXPECT_EQ(h.slot(0), r.line);
        EXPECT_EQ(h.typed_length(), r.length);
    }
}

TEST(CommandHistory, EnterKeepsTwentyLinesAndRecallStaysWithinThem) {
    CommandHistory h;
    for (int i = 1; i <= 21; ++i) type(h, "L" + std::to_string(i) + "\r");
    type(h, "\rtyping");
    EXPECT_EQ(h.slot(1), "");  // an empty line is kept too
    EXPECT_EQ(h.slot(19), "L4");
    EXPECT_EQ(h.typed_length(), 6);

    h.recall_newer();
    EXPECT_EQ(h.recalled_text(), "typing");
    for (int i = 0; i < 3; ++i) h.recall_older();
    EXPECT_EQ(h.recalled_text(), "L20");
    for (int i = 0; i < 30; ++i) h.recall_older();
    type(h, "x");  // typing does not move the recall index
    EXPECT_EQ(h.recall_index(), 19);
}
