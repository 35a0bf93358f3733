#pragma once

#include <string>
#include <string_view>

namespace tncsim {

// Station texts travel as Shift-JIS (CP932) bytes; sources hold them as UTF-8 literals.
// A character CP932 cannot hold becomes "?".
std::string to_sjis(std::string_view utf8);

}  // namespace tncsim
