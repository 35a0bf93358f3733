#pragma once
// Shift-JIS (code page 932) helpers. Inside the core every text is CP932 bytes; UTF-8
// appears only where text meets the screen or the keyboard, and in source literals.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::text {

// The code page's lead-byte test: a byte that starts a two-byte character.
constexpr bool is_lead_byte(std::uint8_t c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool is_lead_byte(char c) { return is_lead_byte(static_cast<std::uint8_t>(c)); }

// U+FFFD, what an undecodable CP932 sequence becomes on the way to the screen.
inline constexpr std::string_view replacement_utf8 = "\xEF\xBF\xBD";
// What a character CP932 cannot hold becomes on the way in.
inline constexpr char replacement_cp932 = '?';

// Never throw and never stop early: each broken or unmappable sequence becomes one
// replacement character and conversion goes on with the next byte.
std::string cp932_to_utf8(std::string_view cp932);
std::string utf8_to_cp932(std::string_view utf8);

// File names on Linux are UTF-8, while settings and messages hold CP932: these two cross
// that border (a directory from the settings file to the file system, a chosen file's
// name to the status line).
inline std::string path_from_cp932(std::string_view cp932) { return cp932_to_utf8(cp932); }
inline std::string cp932_from_path(std::string_view path) { return utf8_to_cp932(path); }

// A UTF-8 source literal as CP932 bytes, for the program's own fixed texts.
inline std::string sjis(std::string_view utf8_literal) { return utf8_to_cp932(utf8_literal); }

}  // namespace kestrel::text
