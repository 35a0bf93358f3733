#include "app/dialogs/watch_list_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/dialog_buttons.h"
#include "core/cluster/watch_list.h"

namespace kestrel::app {

namespace {

// An entry as long as a callsign field holds (DX callsign, 19 bytes).
constexpr std::size_t entry_bytes = 19;
constexpr std::size_t list_bytes = decltype(kestrel::Settings::watch_list)::capacity;

}  // namespace

WatchListDialog::WatchListDialog(std::string_view list, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit), entries_(new QListWidget), note_(new QLabel) {
    setWindowTitle(QStringLiteral("ウォッチリスト"));
    setAccessibleName(windowTitle());
    field_->setAccessibleName(QStringLiteral("コールサイン"));
    limit_callsign(field_, entry_bytes * 4);
    entries_->setAccessibleName(QStringLiteral("ウォッチするコールサイン"));
    note_->setAccessibleName(QStringLiteral("お知らせ"));
    auto* add = new QPushButton(QStringLiteral("追加"));
    auto* remove = new QPushButton(QStringLiteral("削除"));
    for (QPushButton* b : {add, remove}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }
    kestrel::for_each_watch_entry(
        list, [this](std::string_view entry) { entries_->addItem(from_cp932(entry)); });

    connect(add, &QPushButton::clicked, this, &WatchListDialog::add_typed);
    connect(remove, &QPushButton::clicked, this, [this] {
        delete entries_->takeItem(entries_->currentRow());
        note_->clear();
    });

    auto* layout = new QVBoxLayout(this);
    auto* entry_row = new QHBoxLayout;
    entry_row->addWidget(field_);
    entry_row->addWidget(add);
    layout->addLayout(entry_row);
    auto* list_row = new QHBoxLayout;
    list_row->addWidget(entries_);
    list_row->addWidget(remove, 0, Qt::AlignTop);
    layout->addLayout(list_row);
    layout->addWidget(note_);
    auto* buttons = new QHBoxLayout;
    add_ok_cancel(this, buttons);
    layout->addLayout(buttons);
}

void WatchListDialog::add_typed() {
    const std::string typed = to_cp932(field_->text());
    bool all = true;
    kestrel::for_each_watch_entry(typed, [&](std::string_view entry) {
        all = add_entry(from_cp932(std::string(cp932_prefix(entry, entry_bytes)))) && all;
    });
    if (all) {
        field_->clear();
        note_->clear();
    } else {
        note_->setText(QStringLiteral("これ以上登録できません"));
    }
    field_->setFocus();
}

// A duplicate is dropped silently; an entry that would make the list too long for its
// settings key is refused.
bool WatchListDialog::add_entry(const QString& entry) {
    if (!entries_->findItems(entry, Qt::MatchFixedString).empty()) return true;
    if (list().size() + 1 + to_cp932(entry).size() > list_bytes) return false;
    entries_->addItem(entry);
    return true;
}

// Enter in the field ends the dialog as OK does; what is typed there is taken in first.
void WatchListDialog::accept() {
    if (!field_->text().trimmed().isEmpty()) add_typed();
    QDialog::accept();
}

std::string WatchListDialog::list() const {
    std::string out;
    for (int i = 0; i < entries_->count(); ++i) {
        if (!out.empty()) out += ' ';
        out += to_cp932(entries_->item(i)->text());
    }
    return out;
}

void run_watch_list_dialog(QWidget* parent, kestrel::Settings& settings,
                           const std::function<int(QDialog&)>& run) {
    WatchListDialog dialog(settings.watch_list.view(), parent);
    if ((run ? run(dialog) : dialog.exec()) == QDialog::Accepted) {
        settings.watch_list.assign(dialog.list());
    }
}

}  // namespace kestrel::app
