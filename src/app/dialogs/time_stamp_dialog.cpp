#include "app/dialogs/time_stamp_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel::app {

TimeStampDialog::TimeStampDialog(bool time_stamp_on, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Time Stamp"));
    setAccessibleName(windowTitle());
    box_ = new QCheckBox(QStringLiteral("TimeStampを受信行の先頭に入れる"));
    box_->setAccessibleName(box_->text());
    box_->setChecked(time_stamp_on);
    auto* line1 = new QLabel(QStringLiteral("その受信行の時刻は１行下の先頭になります"));
    auto* line2 = new QLabel(QStringLiteral("ご承知おきください"));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    ok->setAccessibleName(ok->text());
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box_);
    layout->addWidget(line1);
    layout->addWidget(line2);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
}

bool TimeStampDialog::time_stamp_on() const { return box_->isChecked(); }

bool run_time_stamp_dialog(QWidget* parent, bool& time_stamp_on,
                           const std::function<int(QDialog&)>& run) {
    TimeStampDialog dialog(time_stamp_on, parent);
    if ((run ? run(dialog) : dialog.exec()) != QDialog::Accepted) return false;
    time_stamp_on = dialog.time_stamp_on();
    return true;
}

}  // namespace kestrel::app
