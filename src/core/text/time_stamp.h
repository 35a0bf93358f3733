#pragma once
// The time stamp that begins received lines on screen and in capture files.

#include <array>
#include <ctime>
#include <string_view>

namespace kestrel::text {

// "[yyyy-mm-dd hh:mm:ss]": 21 bytes with a four-digit year.
struct TimeStamp {
    std::array<char, 40> bytes{};
    int length = 0;
    std::string_view view() const { return {bytes.data(), static_cast<std::size_t>(length)}; }
};

// Returned by value: the receiver, the keyboard and the upload worker each stamp lines,
// so a shared buffer would be overwritten under a reader's feet.
TimeStamp time_stamp_text(const std::tm& local);

}  // namespace kestrel::text
