#pragma once
// The back-scroll pane: older lines of the ring in split view, with the cursor row, the
// selection and the marks, and the scroll bar (range 0..5000, 5000 the newest line).

#include <QWidget>
#include <functional>

#include "app/accessibility/accessible_pane.h"
#include "app/screen/pane_context.h"

class QScrollBar;

namespace kestrel::app {

class SearchBar;

class BackscrollPane : public QWidget, public AccessibleTextSource {
    Q_OBJECT
public:
    // `scroll_bar` gets what the bar asks of the split view, with the thumb's position.
    using ScrollBarRequest = std::function<void(kestrel::ScrollRequest, int)>;
    BackscrollPane(PaneContext& context, ScrollBarRequest scroll_bar, QWidget* parent);

    void set_margin(int margin) { margin_ = margin; }
    int margin() const { return margin_; }
    // Puts the scroll bar's thumb where the split view says.
    void sync_thumb();
    QScrollBar* scroll_bar() const { return bar_; }
    // The search field over the pane (ALT+G); it closes when split view ends.
    void open_search();
    SearchBar* search_bar() const { return search_; }
    static int scroll_bar_width();

    QString accessible_text() const override;
    int accessible_caret_offset() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void action(int action);
    void place_search();

    PaneContext& context_;
    ScrollBarRequest scroll_bar_;
    QScrollBar* bar_;
    SearchBar* search_;
    int margin_ = 0;
};

}  // namespace kestrel::app
