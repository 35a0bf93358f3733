// Which key picks which macro: letters with or without SHIFT, and the keys whose codes are
// upper-cased into the letter range.

#include "core/input/key_macros.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(KeyMacros, KeysPickTheirMacros) {
    const struct Row {
        const char* key;
        KeyGroup group;
        int value;
        int picked;
    } rows[] = {{"A", KeyGroup::main, 'A', 0},           {"Z", KeyGroup::main, 'Z', 25},
                {"digit 1", KeyGroup::main, '1', -1},    {"keypad 0", KeyGroup::keypad, '0', -1},
                {"keypad 1", KeyGroup::keypad, '1', 0},  {"keypad 9", KeyGroup::keypad, '9', 8},
                {"keypad *", KeyGroup::keypad, '*', 9},  {"keypad /", KeyGroup::keypad, '/', 14},
                {"keypad =", KeyGroup::keypad, '=', -1}, {"F1", KeyGroup::function, 1, 15},
                {"F11", KeyGroup::function, 11, 25},     {"F12", KeyGroup::function, 12, -1},
                {"other", KeyGroup::other, 'A', -1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(picked_macro(virtual_key(row.group, row.value)), row.picked);
    }
}

}  // namespace
}  // namespace kestrel
