#pragma once
// Drawing one screen line onto the 80-column grid both panes share. Every character is
// drawn at its own cell origin and a two-byte character takes exactly two cells, whatever
// advance the font (or its fallback for kana and kanji) would give it, so columns never
// drift.

#include <QColor>
#include <QFont>
#include <QString>
#include <array>
#include <string_view>
#include <vector>

#include "core/screen/screen_line.h"
#include "core/settings/settings.h"

class QPainter;

namespace kestrel::app {

// The cell every character is measured in.
struct CellMetrics {
    int width = 8;    // char width
    int height = 16;  // char height
    int ascent = 13;
};

CellMetrics measure_cells(const QFont& font);

// Colours of both panes, from the settings and the reverse-video flag.
struct ScreenColours {
    QColor text;
    QColor background;
    QColor quote;
    QColor cursor;
    QColor selection;
    QColor pause;

    static ScreenColours from(const kestrel::Settings& settings);
};

// CP932 to Unicode for drawing, one character at a time, without allocating per cell:
// single bytes come from a fixed table, pairs are converted once and remembered.
class GlyphTable {
public:
    GlyphTable();
    QChar single(std::uint8_t c) const { return singles_[c]; }
    QChar pair(std::uint8_t lead, std::uint8_t trail);

private:
    std::array<QChar, 256> singles_;
    std::vector<char16_t> pairs_;  // 0: not converted yet
};

// True when the text starts with one of the quote prefixes (">", "|", "＞", "∥", "｜").
bool starts_with_quote(std::string_view text);

// The text of a line, at most its 80 columns.
std::string_view line_text(const kestrel::ScreenLine& line);

class RowPainter {
public:
    void set_font(const QFont& font, const CellMetrics& cells);
    const CellMetrics& cells() const { return cells_; }
    const QFont& font() const { return font_; }

    // Draws `text` from column 0 at (x, top). `pause` draws it in the pause colour; else a
    // quote prefix picks the quote colour.
    void draw_text(QPainter& painter, int x, int top, std::string_view text, bool pause,
                   const ScreenColours& colours);

    // The visible text of a row for screen readers.
    QString unicode_of(std::string_view text);

    // A pane's rows as one text joined by newlines, for screen readers, and where `row`
    // starts in that text.
    QString rows_text(const std::vector<kestrel::ScreenLine>& rows, std::size_t count);
    QString rows_text(const std::vector<kestrel::ScreenLine>& rows) {
        return rows_text(rows, rows.size());
    }
    int row_start(const std::vector<kestrel::ScreenLine>& rows, int row) {
        return row > 0 ? int(rows_text(rows, std::size_t(row)).size()) + 1 : 0;
    }

private:
    QFont font_;
    CellMetrics cells_;
    GlyphTable glyphs_;
};

}  // namespace kestrel::app
