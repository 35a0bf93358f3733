#pragma once
// The scroll file keeps the whole ring, marks and selection included, across a restart:
// a 16-byte little-endian header (line count, current line, 8 reserved bytes) and the
// 5000 84-byte lines in ring-index order, 420016 bytes in all.

#include <string>

#include "core/desktop/desktop.h"
#include "core/screen/line_store.h"

namespace kestrel {

inline constexpr long scroll_file_size = 16 + LineStore::line_count * sizeof(ScreenLine);

// Both report their failures to the operator and never stop the program. An empty path
// means the settings path was too short to name a scroll file.
bool load_scroll_file(LineStore& store, const std::string& path, Desktop& desktop);
bool save_scroll_file(LineStore& store, const std::string& path, Desktop& desktop);

}  // namespace kestrel
