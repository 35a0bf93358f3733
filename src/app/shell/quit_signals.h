#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window the ordinary way, so that the scroll
// file and the window rectangle are saved and DTR is dropped before the program ends.

#include <functional>

namespace kestrel::app {

// Once, on the GUI thread; `close` runs there when one of the signals arrives.
void close_on_quit_signals(std::function<void()> close);

}  // namespace kestrel::app
