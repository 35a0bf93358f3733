#pragma once
// What both panes draw from: the store and its split view, the settings they take their
// colours and margin from, and the one painter that knows the font and the cell size.

#include "screen/backscroll.h"
#include "screen/line_store.h"
#include "screen/row_painter.h"
#include "settings/settings.h"

struct PaneContext {
    kestrel::LineStore& store;
    kestrel::Backscroll& backscroll;
    const kestrel::Settings& settings;
    RowPainter painter;
    ScreenColours colours;
};

// The grey that shows between and around the panes.
inline const QColor frame_grey{128, 128, 128};
