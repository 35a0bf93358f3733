#pragma once
// Settings carried over from a Windows PC keep their Windows paths ("C:\BBS\DL"). On Linux
// such a value would silently name something relative to the current directory, so the
// folders that hold one are treated as unset-and-wrong: reported, never used.

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings.h"

namespace kestrel {

// A drive letter and colon ("C:", "c:\x"), a UNC name ("\\server\share") or any backslash
// outside a CP932 double-byte character (whose second byte may be 0x5C).
bool is_windows_path(std::string_view cp932);

// "SECTION KEY=value" (CP932) for each setting that names a place on disk with a Windows
// path: DL_DIR, UL_DIR and the external programs' PATH, in file order.
std::vector<std::string> windows_path_settings(const Settings& settings);

// `cp932` as a file-system path, or empty when it is a Windows path, so that a chooser
// starts somewhere real rather than in a folder named "C:\BBS\DL".
std::string usable_folder(std::string_view cp932);

}  // namespace kestrel
