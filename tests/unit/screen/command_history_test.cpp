#include "core/screen/command_history.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

void type(CommandHistory& h, std::string_view bytes) {
    for (char c : bytes) h.input_char(static_cast<std::uint8_t>(c));
}

TEST(CommandHistory, EditingAndEnter) {
    CommandHistory h;
    type(h,
         "ab\x08"
         "c\r");
    EXPECT_EQ(h.slot(1), "ac");
    EXPECT_EQ(h.slot(0), "");
    EXPECT_EQ(h.typed_length(), 0);
}

TEST(CommandHistory, BackspaceOverPairs) {
    CommandHistory h;
    type(h, "x\x82\xA0\x08");  // a whole pair goes
    EXPECT_EQ(h.slot(0), "x");
    type(h, "\x82\x08");  // a lone first byte stays
    EXPECT_EQ(h.slot(0), "x\x82");
    type(h, "\xA0\x08\x08");  // its pair completed: both go, then x
    EXPECT_EQ(h.slot(0), "");
    type(h, "\x08\x1b");  // BS on nothing, ESC: nothing
    EXPECT_EQ(h.typed_length(), 0);
}

TEST(CommandHistory, TwentyOneEntersDropTheFirstLine) {
    CommandHistory h;
    for (int i = 1; i <= 21; ++i) type(h, "L" + std::to_string(i) + "\r");
    EXPECT_EQ(h.slot(1), "L21");
    EXPECT_EQ(h.slot(19), "L3");
    type(h, "\r");
    EXPECT_EQ(h.slot(19), "L4");
}

TEST(CommandHistory, KeepsAtMostOneHundredSixtyBytes) {
    CommandHistory h;
    type(h, std::string(159, 'a'));
    type(h, "bcd");
    EXPECT_EQ(h.typed_length(), 159);
    EXPECT_EQ(h.slot(0), std::string(159, 'a') + "d");
}

TEST(CommandHistory, RecallStaysWithinLimits) {
    CommandHistory h;
    type(h, "one\rtwo\rthree\rtyping");
    h.recall_newer();
    EXPECT_EQ(h.recall_index(), 0);
    EXPECT_EQ(h.recalled_text(), "typing");
    for (int i = 0; i < 3; ++i) h.recall_older();
    EXPECT_EQ(h.recalled_text(), "one");
    for (int i = 0; i < 30; ++i) h.recall_older();
    EXPECT_EQ(h.recall_index(), 19);
    type(h, "x");  // typing does not move the recall index
    EXPECT_EQ(h.recall_index(), 19);
}

}  // namespace
}  // namespace kestrel
