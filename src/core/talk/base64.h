#pragma once
// BASE64 (RFC 4648, section 4) as TALK carries Shift-JIS text: the coded text follows the
// header "?x-sjis?B?" to the end of the line. Pure functions, any thread.

#include <string>
#include <string_view>

namespace kestrel {

// The marker in front of a coded TALK message; there is no closing marker.
inline constexpr std::string_view base64_header = "?x-sjis?B?";

// Every 3 bytes become 4 characters, the last group padded with "=": (n + 2) / 3 * 4
// characters, no line breaks.
std::string base64_encode(std::string_view bytes);

// Characters are taken up to the first one outside the alphabet ("=", a blank, the end);
// the result has L * 3 / 4 bytes for a coded text of L characters (counted whole, not up to
// the stop), zero bits after the collected ones, and is then cut at its first NUL. So it
// never holds a NUL, but may hold any other byte: callers showing it must clean it.
std::string base64_decode(std::string_view coded);

}  // namespace kestrel
