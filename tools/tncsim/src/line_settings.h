#pragma once

#include <termios.h>

#include <string>

namespace tncsim {

// "speed=9600 bits=8 parity=none stop=1 flow=xonxoff": what the terminal set on the line.
std::string describe_line(const termios& t);

// Whether the kernel will go on reporting changes (the terminal may clear EXTPROC).
bool reports_changes(const termios& t);

}  // namespace tncsim
