#pragma once
// The system colour dialog for the four colour commands. Its 16 custom colours are shared
// by all four and kept until the program ends; they start white and are never saved.

#include <QWidget>

#include "core/settings/settings.h"

namespace kestrel::app {

// True and `colour` changed when the operator chose one; false and unchanged otherwise.
bool choose_colour(QWidget* parent, kestrel::Colour& colour);

}  // namespace kestrel::app
