#include "app/screen/terminal_pane.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QPainter>
#include <mutex>

#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

constexpr int caret_blink_ms = 530;

// The byte a key sends when the platform gives no text for it (or gives the wrong one).
int control_byte(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const int key = event.key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
        if (key == Qt::Key_BracketLeft) return 27;
        if (key == Qt::Key_Backslash) return 28;
        if (key == Qt::Key_BracketRight) return 29;
        if (key == Qt::Key_At || key == Qt::Key_Space) return 0;
    }
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Tab: return 9;
        default: return -1;
    }
}

}  // namespace

TerminalPane::TerminalPane(PaneContext& context, PaneInput& input, QWidget* parent)
    : QWidget(parent), context_(context), input_(input) {
    setObjectName(QStringLiteral("terminal"));
    setAccessibleName(QStringLiteral("端末"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    blink_.setInterval(caret_blink_ms);
    connect(&blink_, &QTimer::timeout, this, [this] {
        caret_on_ = !caret_on_;
        update(caret_rect());
    });
}

void TerminalPane::set_margin(int margin) { margin_ = margin; }

QRect TerminalPane::caret_rect() const {
    const CellMetrics& cells = context_.painter.cells();
    const kestrel::LineStore& store = context_.store;
    return QRect(store.cursor_column() * cells.width, store.cursor_row() * cells.height + margin_,
                 cells.width, cells.height);
}

void TerminalPane::show_recalled_line(std::string_view cp932) {
    recalled_.assign(cp932);
    overlay_ = true;
    update();
}

void TerminalPane::store_repainted() {
    overlay_ = false;
    update();
    notify_pane_text_changed(this);
    // The input method's window follows the caret: it is told once per coalesced repaint,
    // when the caret has moved.
    const QRect caret = caret_rect();
    if (caret != last_caret_) {
        last_caret_ = caret;
        if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    }
}

void TerminalPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RowPainter& rows_painter = context_.painter;
    const ScreenColours& colours = context_.colours;
    const int height = rows_painter.cells().height;
    painter.fillRect(rect(), frame_grey);

    const kestrel::TerminalView view = context_.store.terminal_view();
    for (int n = int(view.rows.size()) - 1; n >= 0; --n) {
        const kestrel::ScreenLine& line = view.rows[std::size_t(n)];
        const int y = n * height + margin_;
        painter.fillRect(0, y, width(), height, colours.background);
        rows_painter.draw_text(painter, 0, y, line_text(line),
                               line.kind == kestrel::line_pause_notice, colours);
    }

    const int caret_x = view.cursor_column * rows_painter.cells().width;
    const int caret_y = view.cursor_row * height + margin_;
    if (overlay_) {
        painter.fillRect(caret_x, caret_y, width() - caret_x, height, colours.background);
        // The pause colour never applies to a recalled line.
        rows_painter.draw_text(painter, caret_x, caret_y, recalled_, false, colours);
    }
    if (!preedit_.isEmpty()) {
        QFont font = rows_painter.font();
        font.setUnderline(true);
        painter.setFont(font);
        const int w = QFontMetrics(font).horizontalAdvance(preedit_);
        painter.fillRect(caret_x, caret_y, w, height, colours.background);
        painter.setPen(colours.text);
        painter.drawText(QPointF(caret_x, caret_y + rows_painter.cells().ascent), preedit_);
        return;
    }
    if (hasFocus() && caret_on_) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(caret_x, caret_y, rows_painter.cells().width, height, Qt::white);
    }
}

bool TerminalPane::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (input_.claims_key(*key)) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TerminalPane::keyPressEvent(QKeyEvent* event) {
    if (input_.key_down(*event)) return;
    const int byte = control_byte(*event);
    if (byte >= 0) {
        const char c = char(byte);
        input_.characters(std::string_view(&c, 1));
        return;
    }
    // ALT combinations that are no accelerator send nothing.
    if (event->modifiers() & Qt::AltModifier) return;
    const QString text = event->text();
    // DEL and the other control characters have no character message of their own.
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F) return;
    input_.characters(kestrel::text::utf8_to_cp932(text.toStdString()));
}

void TerminalPane::inputMethodEvent(QInputMethodEvent* event) {
    preedit_ = event->preeditString();
    update();
    const QString commit = event->commitString();
    if (!commit.isEmpty()) input_.characters(kestrel::text::utf8_to_cp932(commit.toStdString()));
    event->accept();
}

QVariant TerminalPane::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImCursorRectangle:
        case Qt::ImAnchorRectangle: return caret_rect();
        case Qt::ImFont: return context_.painter.font();
        case Qt::ImEnabled: return true;
        case Qt::ImHints: return int(Qt::ImhNoPredictiveText);
        default: return QWidget::inputMethodQuery(query);
    }
}

void TerminalPane::wheelEvent(QWheelEvent* event) {
    input_.wheel(event->angleDelta().y(), event->modifiers());
    event->accept();
}

// A menu or another popup opening and closing takes the focus only for its own time: it
// is no focus change, and must not reset the command recall.
void TerminalPane::focusInEvent(QFocusEvent* event) {
    if (event->reason() == Qt::PopupFocusReason) {
        update();
        QWidget::focusInEvent(event);
        return;
    }
    caret_on_ = true;
    blink_.start();
    input_.focus_changed(true);
    update();
    QWidget::focusInEvent(event);
}

void TerminalPane::focusOutEvent(QFocusEvent* event) {
    if (event->reason() == Qt::PopupFocusReason) {
        update();
        QWidget::focusOutEvent(event);
        return;
    }
    blink_.stop();
    input_.focus_changed(false);
    update();
    QWidget::focusOutEvent(event);
}

QString TerminalPane::accessible_text() const {
    return context_.painter.rows_text(context_.store.terminal_view().rows);
}

int TerminalPane::accessible_caret_offset() const {
    const kestrel::TerminalView view = context_.store.terminal_view();
    const int offset = context_.painter.row_start(view.rows, view.cursor_row);
    const std::string_view bottom = line_text(view.rows.back());
    const std::size_t column =
        std::min<std::size_t>(std::size_t(view.cursor_column), bottom.size());
    return offset + int(context_.painter.unicode_of(bottom.substr(0, column)).size());
}

}  // namespace kestrel::app
