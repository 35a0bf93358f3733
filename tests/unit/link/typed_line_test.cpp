#include "core/link/typed_line.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

// Feeds `keys` as send_char does (CR ends the line, BS takes back) and returns what the
// screen is given: the echoed bytes, and one BS for each BS sent.
std::string echoed(TypedLine& line, const std::string& keys) {
    std::string out;
    for (char k : keys) {
        const auto c = static_cast<std::uint8_t>(k);
        if (c == '\b') {
            out.append(static_cast<std::size_t>(line.back_space()), '\b');
        } else if (c == '\r') {
            line.clear();
            out += '\r';
        } else {
            TypedLine::Echo e = line.add(c);
            if (e.count > 0) out += static_cast<char>(e.first);
            if (e.count == 2) out += static_cast<char>(e.second);
        }
        EXPECT_GE(line.count(), 0);
        EXPECT_LE(line.count(), TypedLine::capacity);
    }
    return out;
}

TEST(TypedLine, BackSpaceTakesBackWholeCharactersOfTheCurrentLineOnly) {
    struct Row {
        const char* keys;
        const char* shown;
        int count;
    };
    const Row rows[] = {
        {"ab\x82\xA0\b\b\b\b", "ab\x82\xA0\b\b\b\b", 0},
        {"a\x82\b", "a", 2},  // the lead's trail is still to come
        // A lead byte left alone by CR pairs with nothing after it.
        {"\x82\rx\b\b", "\rx\b", 0},
        {"\x93\r\xFA\b\b", "\r", 1},  // 0xFA is itself a lead byte, waiting anew
        {"\x93\r\x82\xA0\b\b", "\r\x82\xA0\b\b", 0},
        {"x\r\b", "x\r", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        TypedLine line;
        EXPECT_EQ(echoed(line, row.keys), row.shown);
        EXPECT_EQ(line.count(), row.count);
    }
}

}  // namespace
}  // namespace kestrel
