#pragma once
// Writing a file so that a crash or a full disk never leaves it half-written.

#include <string>
#include <string_view>

namespace kestrel {

// Replaces the file at `path` with `bytes`: they go to a new file beside it, reach the disk,
// and the new file is renamed over the old one, so a reader (or the next start after a
// crash) finds either the old bytes or the new ones. The old file keeps its permissions; a
// symbolic link keeps pointing at the file it names. False when anything failed, the old
// file then being untouched. The directory must exist.
bool replace_file(const std::string& path, std::string_view bytes);

}  // namespace kestrel
