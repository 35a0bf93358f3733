#pragma once
// Writing a file so that a crash or a full disk never leaves it half-written.

#include <functional>
#include <string>
#include <string_view>

namespace kestrel {

// Replaces the file at `path` with `bytes`: they go to a new file beside it, reach the disk,
// and the new file is renamed over the old one, so a reader (or the next start after a
// crash) finds either the old bytes or the new ones. The old file keeps its permissions; a
// symbolic link keeps pointing at the file it names. False when anything failed, the old
// file then being untouched. The directory must exist.
bool replace_file(const std::string& path, std::string_view bytes);

// How a replacement ended. On either failure the old file is untouched and no new file is
// left behind.
enum class Replaced { done, not_created, not_written };

// The same for a writer that puts the bytes into the new file's descriptor itself and says
// whether every write succeeded. The new file gets a name of its own beside the target
// (the target's name, ".tmp", the process id, "-" and a serial number), and is created
// afresh: an existing file or a symbolic link of that name is never written through.
Replaced replace_file_by(const std::string& path, const std::function<bool(int fd)>& write);

// Removes the new files that a crash in the middle of a replacement of `target_path` left
// beside it: regular files named as that target's new files are, and only those at least a
// minute old or whose process (the number in the name) has ended, since a younger one may
// belong to a save still under way in another copy of the program. Nothing is said when a
// removal fails.
void remove_stale_temporaries(const std::string& target_path);

}  // namespace kestrel
