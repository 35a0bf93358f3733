#pragma once

namespace kestrel::app {

// The one place the program's version is written: the About box, `--version` and the
// package all read it (CMake parses this line for the package version).
inline constexpr char version_text[] = "2.0b";

// Where the project's home page lives: the About box shows it and the home-page command opens it.
inline constexpr char home_page_address[] = "https://kestrel-packet.example.org/";

}  // namespace kestrel::app
