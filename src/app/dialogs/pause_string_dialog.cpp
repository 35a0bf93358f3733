#include "app/dialogs/pause_string_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/dialog_buttons.h"

namespace kestrel::app {

namespace {

constexpr std::size_t field_bytes = 80;
constexpr std::size_t stored_bytes = 79;
constexpr std::string_view default_pause_string = "/**/";

}  // namespace

PauseStringDialog::PauseStringDialog(std::string_view pause_string, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("U/Lﾎﾟｰｽﾞ文字列"));
    setAccessibleName(windowTitle());
    field_ = new QLineEdit;
    limit_cp932(field_, field_bytes);
    set_cp932_text(field_, pause_string, field_bytes);
    field_->setAccessibleName(windowTitle());
    field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);

    auto* reset = new QPushButton(QStringLiteral("初期値に戻す"));
    reset->setAccessibleName(reset->text());
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, [this] {
        field_->setText(from_cp932(default_pause_string));
        field_->setFocus();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    add_ok_cancel(this, buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(field_);
    layout->addLayout(buttons);
}

void PauseStringDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    field_->setFocus();
}

std::string PauseStringDialog::pause_string() const { return cp932_text(field_, stored_bytes); }

bool run_pause_string_dialog(QWidget* parent, kestrel::Settings& settings,
                             const std::function<int(QDialog&)>& run_dialog) {
    PauseStringDialog dialog(settings.pause_str.view(), parent);
    if ((run_dialog ? run_dialog(dialog) : dialog.exec()) != QDialog::Accepted) return false;
    settings.pause_str.assign(dialog.pause_string());
    return true;
}

}  // namespace kestrel::app
