#pragma once
// The chat line's Enter: a whole line composed in its own field goes to the TNC and into
// the command history, as if it had been typed and ended with Enter. Unlike a typed key it
// does not pass the terminal's character handler: no capture of typed characters, no
// continuous read in split view.

#include <string_view>

#include "core/link/link.h"
#include "core/screen/command_history.h"

namespace kestrel {

// Each byte of `line` and then CR through `Link::send_char`, and into `history`, which
// files the line; the recall starts again from the live line. A refused byte (the TNC is
// not connected) ends the sending there, with its one message, but the whole line is still
// filed so that it can be recalled and sent again.
void send_chat_line(Link& link, CommandHistory& history, std::string_view line);

}  // namespace kestrel
