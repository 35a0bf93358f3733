#pragma once
// Copy out: the lines the operator selected in the back-scroll pane, in the order they were
// received, to the clipboard or into a file, each as it is or behind the quote mark.
//
// UI thread only, while the receiver goes on adding lines. The walk goes from the oldest
// line to the newest complete one in a single hold of the line-store lock
// (LineStore::for_each_oldest_first) and copies only the selected lines' texts; the file is
// written after the lock is released, so a slow disk never holds up the receiver. The line
// still being written is never copied, selected or not. Neither copy changes the selection.
//
// Output text of one line: the quote mark (when quoting), the line's text (CP932, at most
// 80 bytes), CR LF. The file gets exactly these bytes, like the capture files. The clipboard
// of this desktop holds Unicode with LF line ends, so the clipboard copy is the same text
// converted from CP932 to UTF-8 with LF in place of CR LF.

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "core/desktop/desktop.h"
#include "core/screen/line_store.h"

namespace kestrel {

// Every selected complete line's output text, oldest first, in CP932 with CR LF.
std::string selected_lines_text(LineStore& store, std::string_view quote_mark, bool quote);

// The text for the clipboard (UTF-8, LF line ends); nothing when no line is selected or
// the memory ran out ("メモリー不足" is shown then). The caller puts it on the clipboard.
std::optional<std::string> copy_to_clipboard_text(LineStore& store, Desktop& desktop,
                                                  std::string_view quote_mark, bool quote);

// Asks for a file in `dl_dir` (CP932) and writes the text there: created when new,
// otherwise appended or overwritten as the existing-file question answers. The answer is
// kept in `overwrite_choice` (0 append, 1 overwrite), the Download command's own choice.
// Shows its messages itself. Nothing happens when no line is selected.
void copy_to_file(LineStore& store, Desktop& desktop, std::atomic<int>& overwrite_choice,
                  std::string_view dl_dir, std::string_view quote_mark, bool quote);

}  // namespace kestrel
