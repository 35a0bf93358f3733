#pragma once
// What both panes draw from: the store and its split view, the settings they take their
// colours and margin from, and the one painter that knows the font and the cell size.

#include "app/screen/row_painter.h"
#include "core/screen/backscroll.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"

namespace kestrel::app {

struct PaneContext {
    kestrel::LineStore& store;
    kestrel::Backscroll& backscroll;
    const kestrel::Settings& settings;
    RowPainter painter;
    ScreenColours colours;
};

// The grey that shows between and around the panes.
inline const QColor frame_grey{128, 128, 128};

}  // namespace kestrel::app
