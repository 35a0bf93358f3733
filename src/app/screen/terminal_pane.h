#pragma once
// The terminal pane: the newest lines of the store, the caret on the bottom row, and the
// operator's typing. It paints the store under the store's lock, row by row.

#include <QTimer>
#include <QWidget>
#include <string>

#include "app/accessibility/accessible_pane.h"
#include "app/screen/pane_context.h"
#include "app/screen/pane_input.h"

namespace kestrel::app {

class TerminalPane : public QWidget, public AccessibleTextSource {
    Q_OBJECT
public:
    TerminalPane(PaneContext& context, PaneInput& input, QWidget* parent);

    // Rows are kept by the store; the margin is the pixels above row 0.
    void set_margin(int margin);
    int margin() const { return margin_; }
    // show_recalled_line: drawn over the bottom row from the cursor column until the store
    // next repaints the pane.
    void show_recalled_line(std::string_view cp932);
    void store_repainted();
    const std::string& recalled_overlay() const { return recalled_; }

    QRect caret_rect() const;

    QString accessible_text() const override;
    int accessible_caret_offset() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    PaneContext& context_;
    PaneInput& input_;
    int margin_ = 0;
    std::string recalled_;
    QString preedit_;  // the input method's text being composed, drawn at the caret
    bool overlay_ = false;
    QRect last_caret_;  // where the input method was last told the caret is
    bool caret_on_ = true;
    QTimer blink_;
};

}  // namespace kestrel::app
