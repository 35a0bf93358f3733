#include "app/screen/backscroll_pane.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <mutex>

#include "app/screen/search_bar.h"

namespace kestrel::app {

namespace {

constexpr int mark_margin = 10;  // room for the marks with the left margin option

}  // namespace

BackscrollPane::BackscrollPane(PaneContext& context, ScrollBarRequest scroll_bar, QWidget* parent)
    : QWidget(parent),
      context_(context),
      scroll_bar_(std::move(scroll_bar)),
      bar_(new QScrollBar(Qt::Vertical, this)),
      search_(new SearchBar(context.backscroll, this)) {
    setObjectName(QStringLiteral("backscroll"));
    setAccessibleName(QStringLiteral("バックスクロール"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    bar_->setRange(0, kestrel::Backscroll::thumb_range);
    bar_->setPageStep(1);
    bar_->setValue(kestrel::Backscroll::thumb_range);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setAccessibleName(QStringLiteral("スクロールバー"));
    connect(bar_, &QScrollBar::actionTriggered, this, &BackscrollPane::action);
    connect(bar_, &QScrollBar::sliderReleased, this,
            [this] { scroll_bar_(ScrollRequest::thumb_position, bar_->sliderPosition()); });
    connect(search_, &SearchBar::moved, this, [this] {
        sync_thumb();
        update();
    });
}

void BackscrollPane::open_search() {
    place_search();
    search_->open();
}

// Top right, left of the scroll bar, as wide as it wants within the pane.
void BackscrollPane::place_search() {
    const int room = std::max(width() - scroll_bar_width(), 0);
    const QSize want = search_->sizeHint();
    const int w = std::min(want.width(), room);
    search_->setGeometry(room - w, 0, w, want.height());
}

// The bar closes with split view, and the keyboard goes back to the terminal.
void BackscrollPane::hideEvent(QHideEvent*) {
    if (search_->isVisible()) search_->close_bar();
}

int BackscrollPane::scroll_bar_width() {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

// The bar never moves by itself: the request decides, then the thumb follows the view.
void BackscrollPane::action(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: scroll_bar_(ScrollRequest::line_up, 0); break;
        case QAbstractSlider::SliderSingleStepAdd: scroll_bar_(ScrollRequest::line_down, 0); break;
        case QAbstractSlider::SliderPageStepSub: scroll_bar_(ScrollRequest::page_up, 0); break;
        case QAbstractSlider::SliderPageStepAdd: scroll_bar_(ScrollRequest::page_down, 0); break;
        case QAbstractSlider::SliderMove:
            scroll_bar_(ScrollRequest::thumb_track, bar_->sliderPosition());
            break;
        default: return;
    }
    if (action != QAbstractSlider::SliderMove) sync_thumb();
}

void BackscrollPane::sync_thumb() {
    const int thumb = context_.backscroll.thumb();
    if (bar_->isSliderDown()) return;
    // Moving the slider from here must not come back as a thumb-track request.
    const QSignalBlocker quiet(bar_);
    bar_->setSliderPosition(thumb);
}

void BackscrollPane::resizeEvent(QResizeEvent*) {
    const int w = scroll_bar_width();
    bar_->setGeometry(width() - w, 0, w, height());
    place_search();
}

void BackscrollPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RowPainter& rows_painter = context_.painter;
    const ScreenColours& colours = context_.colours;
    const int height = rows_painter.cells().height;
    const int band = width() - scroll_bar_width();
    const int text_x = context_.settings.bs_yohaku ? mark_margin : 0;
    painter.fillRect(rect(), colours.background);

    const kestrel::BackscrollView view = context_.backscroll.view();
    for (int n = int(view.rows.size()) - 1; n >= 0; --n) {
        const kestrel::ScreenLine& line = view.rows[std::size_t(n)];
        const int y = n * height + margin_;
        painter.fillRect(0, y, band, height,
                         n == view.cursor_row ? colours.cursor : colours.background);
        if (line.selected) painter.fillRect(0, y, band, height, colours.selection);
        if (line.kind == kestrel::line_marked) {
            painter.setPen(QPen(Qt::red, 1));
            painter.setBrush(Qt::red);
            const QPoint corners[3] = {QPoint(0, y + 2), QPoint(10, y + height / 2),
                                       QPoint(0, y + height - 2)};
            painter.drawPolygon(corners, 3);
            painter.setBrush(Qt::NoBrush);
        } else if (line.kind == kestrel::line_read_requested) {
            painter.fillRect(0, y, 5, height, QColor(0, 255, 0));
        }
        rows_painter.draw_text(painter, text_x, y, line_text(line),
                               line.kind == kestrel::line_pause_notice, colours);
        if (n == view.cursor_row) {
            // The search hit, its cells inverted.
            if (std::optional<int> column = search_->highlight_column(line_text(line))) {
                const int cell = rows_painter.cells().width;
                painter.setCompositionMode(QPainter::CompositionMode_Difference);
                painter.fillRect(text_x + *column * cell, y, search_->highlight_length() * cell,
                                 height, Qt::white);
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
        }
    }
}

QString BackscrollPane::accessible_text() const {
    return context_.painter.rows_text(context_.backscroll.view().rows);
}

// The caret sits at the start of the cursor row.
int BackscrollPane::accessible_caret_offset() const {
    const kestrel::BackscrollView view = context_.backscroll.view();
    return context_.painter.row_start(view.rows, view.cursor_row);
}

}  // namespace kestrel::app
