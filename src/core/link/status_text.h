#pragma once
// The main frame's title, rebuilt once a second.

#include <string>

#include "core/desktop/desktop.h"
#include "core/transfer/capture.h"

namespace kestrel {

// "Kestrel  COM1:  Thu Mar 06 09:04:07 2008\n (JST)": the system clock's UTC plus nine
// hours labelled JST, or its UTC labelled UTC when `jst` is 0, whatever the computer's
// time zone; "  D/L中 ->> name " appended while a capture is open. CP932.
std::string status_text(Desktop& desktop, int jst, int port_number, const Capture& capture);

}  // namespace kestrel
