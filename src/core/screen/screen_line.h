#pragma once
// One row of the terminal's ring; the same 84 bytes are the scroll file's record.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kestrel {

enum LineKind : std::uint8_t {
    line_plain = 0,
    line_marked = 1,          // waiting for continuous read (red triangle)
    line_read_requested = 2,  // read command sent (green bar)
    line_pause_notice = 3,    // the upload's pause notice, drawn in the pause colour
};

struct ScreenLine {
    static constexpr int text_size = 82;
    static constexpr int columns = 80;

    std::uint8_t kind;
    std::uint8_t selected;
    char text[text_size];  // CP932, NUL-terminated, at most `columns` bytes
};

static_assert(sizeof(ScreenLine) == 84);
static_assert(offsetof(ScreenLine, kind) == 0);
static_assert(offsetof(ScreenLine, selected) == 1);
static_assert(offsetof(ScreenLine, text) == 2);
static_assert(std::is_trivially_copyable_v<ScreenLine>);

}  // namespace kestrel
