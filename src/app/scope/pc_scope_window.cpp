#include "app/scope/pc_scope_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "app/accessibility/announce.h"
#include "app/dialogs/cp932_field.h"
#include "app/dialogs/window_message_box.h"
#include "app/scope/hand_entry_dialog.h"

namespace kestrel::app {

namespace {

// A selector whose field shows a name for each position, read-only, stepping with its
// arrows and the arrow keys, stopping at both ends.
class NamedSpinBox : public QSpinBox {
public:
    explicit NamedSpinBox(QStringList names) : names_(std::move(names)) {
        setRange(0, int(names_.size()) - 1);
    }

protected:
    QString textFromValue(int value) const override { return names_.value(value); }
    int valueFromText(const QString& text) const override {
        return std::max(int(names_.indexOf(text)), 0);
    }
    QValidator::State validate(QString& text, int&) const override {
        return names_.contains(text) ? QValidator::Acceptable : QValidator::Intermediate;
    }

private:
    QStringList names_;
};

QFont scope_font(bool small) {
    QFont font;
    if (small) {
        font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
        font.setPointSize(8);
    } else {
        // A terminal's fixed font, with a Japanese fallback for the band "144MHz以上".
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setFamilies({fixed.family(), QStringLiteral("IPAGothic")});
        font.setPixelSize(14);
    }
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(text);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

PcScopeWindow::PcScopeWindow(kestrel::SpotBoard& board, kestrel::ScopeFilter& filter, bool small,
                             Clock clock)
    : QWidget(nullptr, small ? Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                             : Qt::Window),
      board_(board),
      filter_(filter),
      small_(small),
      clock_(std::move(clock)) {
    setWindowTitle(QStringLiteral("ＰＣスコープ"));
    setAccessibleName(windowTitle());
    setObjectName(QStringLiteral("pc_scope"));
    setFont(scope_font(small));

    QStringList band_names;
    for (const kestrel::Band& b : kestrel::band_table) band_names << from_cp932(b.name);
    band_ = new NamedSpinBox(band_names);
    band_->setAccessibleName(QStringLiteral("バンド"));
    minutes_ = new QSpinBox;
    minutes_->setRange(1, 60);
    minutes_->setSuffix(QStringLiteral("分"));
    minutes_->setAccessibleName(QStringLiteral("表示する時間"));
    for (QSpinBox* selector : {band_, minutes_}) {
        selector->setWrapping(false);
        selector->findChild<QLineEdit*>()->setReadOnly(true);
    }
    band_->setValue(filter.band);
    minutes_->setValue(filter.age_limit);

    bar_ = new QWidget(this);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(2, 2, 2, 2);
    QPushButton* remove = button(QStringLiteral("消す"), bar_);
    QPushButton* remove_all = button(QStringLiteral("全部消す"), bar_);
    add_ = button(QStringLiteral("追加"), bar_);
    QPushButton* close = button(QStringLiteral("閉じる"), bar_);
    row->addWidget(band_);
    row->addWidget(minutes_);
    row->addWidget(remove);
    row->addWidget(remove_all);
    row->addWidget(add_);
    row->addWidget(close);
    row->addStretch();

    list_ = new QListWidget(this);
    list_->setAccessibleName(QStringLiteral("スポット"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setUniformItemSizes(true);
    list_->installEventFilter(this);

    connect(band_, &QSpinBox::valueChanged, this, [this](int value) {
        filter_.band = value;
        refresh();
    });
    connect(minutes_, &QSpinBox::valueChanged, this, [this](int value) {
        filter_.age_limit = value;
        refresh();
    });
    connect(remove, &QPushButton::clicked, this, &PcScopeWindow::remove_selected);
    connect(remove_all, &QPushButton::clicked, this, &PcScopeWindow::remove_all);
    connect(add_, &QPushButton::clicked, this, &PcScopeWindow::add_by_hand);
    connect(close, &QPushButton::clicked, this, &PcScopeWindow::close_requested);
    place_list();
}

void PcScopeWindow::refresh() {
    const std::time_t now = clock_();
    setWindowTitle(from_cp932(board_.scope_title(now)));
    shown_ = board_.shown_lines(now, filter_);
    // Lines are rewritten in place, so a screen reader keeps its place in an unchanged list.
    list_->setUpdatesEnabled(false);
    const int count = int(shown_.lines.size());
    while (list_->count() > count) delete list_->takeItem(list_->count() - 1);
    for (int i = 0; i < count; ++i) {
        const QString text = from_cp932(shown_.lines[std::size_t(i)].text);
        if (i < list_->count()) {
            if (list_->item(i)->text() != text) list_->item(i)->setText(text);
        } else {
            list_->addItem(text);
        }
        mark_watched(i);
    }
    if (shown_.newest >= 0) {
        list_->setCurrentRow(shown_.newest);
    } else {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    list_->setUpdatesEnabled(true);
}

// A watched spot's line stands out in black on yellow, and a screen reader hears "ウォッチ"
// with it.
void PcScopeWindow::mark_watched(int row) {
    QListWidgetItem* item = list_->item(row);
    const bool on = is_watched && is_watched(shown_.lines[std::size_t(row)].spot.callsign.view());
    if (item->data(Qt::UserRole).toBool() == on) return;
    item->setData(Qt::UserRole, on);
    item->setData(Qt::BackgroundRole, on ? QVariant(QBrush(QColor(255, 255, 0))) : QVariant());
    item->setData(Qt::ForegroundRole, on ? QVariant(QBrush(Qt::black)) : QVariant());
    item->setData(Qt::AccessibleDescriptionRole,
                  on ? QVariant(QStringLiteral("ウォッチ")) : QVariant());
}

void PcScopeWindow::post_watch_check(const kestrel::Spot& spot) {
    QMetaObject::invokeMethod(
        this, [this, spot] { alert_if_watched(spot); }, Qt::QueuedConnection);
}

void PcScopeWindow::alert_if_watched(const kestrel::Spot& spot) {
    if (!is_watched || !is_watched(spot.callsign.view())) return;
    if (bell) bell();
    announce(list_, from_cp932(kestrel::shown_line_text(spot, 0)));
}

void PcScopeWindow::post_repaint() {
    if (repaint_pending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Cleared first: a spot parsed during the refresh asks for the next one.
            repaint_pending_ = false;
            refresh();
        },
        Qt::QueuedConnection);
}

void PcScopeWindow::remove_selected() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (!selected.empty()) {
        const auto row = std::size_t(list_->row(selected.front()));
        if (row < shown_.lines.size()) board_.remove_shown_spot(shown_.lines[row]);
        refresh();
    }
    list_->setFocus();
}

void PcScopeWindow::remove_all() {
    const int answer = window_message_box(this, QStringLiteral("レポートを全て消します"),
                                          QStringLiteral("ＰＣ スコープ"), QMessageBox::NoIcon,
                                          QMessageBox::Yes | QMessageBox::No, run_dialog);
    if (answer == QMessageBox::Yes) {
        board_.clear_spots();
        refresh();
    }
    list_->setFocus();
}

void PcScopeWindow::add_by_hand() {
    if (std::optional<kestrel::Spot> spot = run_hand_entry_dialog(this, clock_(), run_dialog)) {
        board_.add_spot(*spot);
        refresh();
    }
    list_->setFocus();
}

void PcScopeWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit close_requested();
}

void PcScopeWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place_list();
}

// The list starts under the buttons and keeps 40 pixels less than the window's height.
void PcScopeWindow::place_list() {
    const int button_height = add_->sizeHint().height();
    bar_->setGeometry(0, 0, width(), button_height + 5);
    list_->setGeometry(0, button_height + 1 + 5, width() + 1, std::max(height() + 1 - 40, 0));
}

bool PcScopeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) emit list_key_pressed();
    return QWidget::eventFilter(watched, event);
}

}  // namespace kestrel::app
