#pragma once

#include <cstddef>
#include <string>

namespace tncsim {

// Exactly size bytes of numbered CR LF lines mixing ASCII and Shift-JIS, for throughput runs.
std::string burst_text(std::size_t size);

}  // namespace tncsim
