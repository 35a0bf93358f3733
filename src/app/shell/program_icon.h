#pragma once
// The program's icon: a kestrel hovering, wings spread, on a rounded blue square. Drawn
// here at each size the desktop asks for; src/app/resources/kestrel.svg is the same picture
// for installing.

#include <QIcon>

namespace kestrel::app {

// Sizes 16, 24, 32, 48, 64, 128 and 256.
QIcon program_icon();

}  // namespace kestrel::app
