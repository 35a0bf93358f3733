#include "app/screen/row_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

QColor colour_of(const kestrel::Colour& c) { return QColor(c.r, c.g, c.b); }

}  // namespace

CellMetrics measure_cells(const QFont& font) {
    QFontMetrics metrics(font);
    CellMetrics cells;
    // A half-width digit: the grid's cell, whatever the font's average over all glyphs.
    cells.width = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    cells.height = std::max(1, metrics.height());
    cells.ascent = metrics.ascent();
    return cells;
}

ScreenColours ScreenColours::from(const kestrel::Settings& settings) {
    ScreenColours colours;
    if (settings.rev_text_col != 0) {
        colours.text = Qt::white;
        colours.background = Qt::black;
    } else {
        colours.text = Qt::black;
        colours.background = Qt::white;
    }
    colours.quote = colour_of(settings.inyou_col);
    colours.cursor = colour_of(settings.cursor_col);
    colours.selection = colour_of(settings.area_col);
    colours.pause = colour_of(settings.pause_col);
    return colours;
}

GlyphTable::GlyphTable() : pairs_(65536, 0) {
    for (int c = 0; c < 256; ++c) {
        if (c < 0x20 || c == 0x7F) {
            singles_[c] = QChar(u' ');
        } else if (c < 0x80) {
            singles_[c] = QChar(char16_t(c));
        } else if (c >= 0xA1 && c <= 0xDF) {
            singles_[c] = QChar(char16_t(0xFF61 + (c - 0xA1)));  // half-width katakana
        } else {
            singles_[c] = QChar(u'\uFFFD');
        }
    }
}

QChar GlyphTable::pair(std::uint8_t lead, std::uint8_t trail) {
    char16_t& cached = pairs_[(lead << 8) | trail];
    if (cached == 0) {
        const char bytes[2] = {char(lead), char(trail)};
        const QString unicode =
            QString::fromStdString(kestrel::text::cp932_to_utf8(std::string_view(bytes, 2)));
        cached = unicode.isEmpty() ? u'\uFFFD' : unicode.at(0).unicode();
    }
    return QChar(cached);
}

bool starts_with_quote(std::string_view text) {
    static const std::string prefixes[] = {">", "|", kestrel::text::sjis("＞"),
                                           kestrel::text::sjis("∥"), kestrel::text::sjis("｜")};
    for (const std::string& prefix : prefixes) {
        if (text.starts_with(prefix)) return true;
    }
    return false;
}

std::string_view line_text(const kestrel::ScreenLine& line) {
    return std::string_view(line.text, ::strnlen(line.text, kestrel::ScreenLine::columns));
}

void RowPainter::set_font(const QFont& font, const CellMetrics& cells) {
    font_ = font;
    cells_ = cells;
}

void RowPainter::draw_text(QPainter& painter, int x, int top, std::string_view text, bool pause,
                           const ScreenColours& colours) {
    painter.setPen(pause ? colours.pause : starts_with_quote(text) ? colours.quote : colours.text);
    painter.setFont(font_);
    const int baseline = top + cells_.ascent;
    QChar glyph[1];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        const int cell_x = x + int(i) * cells_.width;
        if (kestrel::text::is_lead_byte(c) && i + 1 < text.size()) {
            glyph[0] = glyphs_.pair(c, static_cast<std::uint8_t>(text[i + 1]));
            ++i;
        } else {
            glyph[0] = glyphs_.single(c);
            if (glyph[0] == QChar(u' ')) continue;
        }
        painter.drawText(QPointF(cell_x, baseline), QString::fromRawData(glyph, 1));
    }
}

QString RowPainter::unicode_of(std::string_view text) {
    QString out;
    out.reserve(int(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (kestrel::text::is_lead_byte(c) && i + 1 < text.size()) {
            out.append(glyphs_.pair(c, static_cast<std::uint8_t>(text[i + 1])));
            ++i;
        } else {
            out.append(glyphs_.single(c));
        }
    }
    return out;
}

QString RowPainter::rows_text(const std::vector<kestrel::ScreenLine>& rows, std::size_t count) {
    QString out;
    for (std::size_t n = 0; n < std::min(count, rows.size()); ++n) {
        if (n > 0) out.append(QLatin1Char('\n'));
        out.append(unicode_of(line_text(rows[n])));
    }
    return out;
}

}  // namespace kestrel::app
