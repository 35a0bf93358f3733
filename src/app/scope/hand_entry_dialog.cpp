#include "app/scope/hand_entry_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/dialog_buttons.h"
#include "core/cluster/spot_board.h"

namespace kestrel::app {

namespace {

constexpr std::size_t callsign_typed = 12, callsign_taken = 11;
constexpr std::size_t remarks_typed = 28, remarks_taken = 27;

QLineEdit* digits_field(int digits, const QString& name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), field));
    field->setMaxLength(digits);
    field->setAccessibleName(name);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(digits + 1, '0')) + 12);
    return field;
}

}  // namespace

HandEntryDialog::HandEntryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("追加"));
    setAccessibleName(windowTitle());

    mhz_ = digits_field(3, QStringLiteral("MHz"), this);
    khz_ = digits_field(3, QStringLiteral("KHz"), this);
    hundred_hz_ = digits_field(1, QStringLiteral("100Hz"), this);
    callsign_ = new QLineEdit(this);
    callsign_->setAccessibleName(QStringLiteral("Callsign"));
    limit_callsign(callsign_, callsign_typed);
    remarks_ = new QLineEdit(this);
    remarks_->setAccessibleName(QStringLiteral("Remarks"));
    limit_cp932(remarks_, remarks_typed);

    // How the three frequency fields are filled: megahertz, kilohertz, hundreds of hertz.
    auto* example = new QHBoxLayout;
    example->addWidget(new QLabel(QStringLiteral("Freq ")));
    example->addWidget(new QLabel(QStringLiteral(" 14    005  .  2 KHz")));
    example->addStretch();
    auto* freq = new QHBoxLayout;
    freq->addWidget(mhz_);
    freq->addWidget(khz_);
    freq->addWidget(new QLabel(QStringLiteral(".")));
    freq->addWidget(hundred_hz_);
    freq->addWidget(new QLabel(QStringLiteral("KHz")));
    freq->addStretch();
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Callsign")), 0, 0);
    fields->addWidget(callsign_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Remarks")), 1, 0);
    fields->addWidget(remarks_, 1, 1);
    auto* buttons = new QHBoxLayout;
    add_ok_cancel(this, buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(example);
    layout->addLayout(freq);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    mhz_->setFocus();
}

std::string HandEntryDialog::mhz() const { return to_cp932(mhz_->text()); }
std::string HandEntryDialog::khz() const { return to_cp932(khz_->text()); }
std::string HandEntryDialog::hundred_hz() const { return to_cp932(hundred_hz_->text()); }
std::string HandEntryDialog::callsign() const { return cp932_text(callsign_, callsign_taken); }
std::string HandEntryDialog::remarks() const { return cp932_text(remarks_, remarks_taken); }

std::optional<kestrel::Spot> run_hand_entry_dialog(QWidget* parent, std::time_t now,
                                                   const std::function<int(QDialog&)>& run) {
    HandEntryDialog dialog(parent);
    if ((run ? run(dialog) : dialog.exec()) != QDialog::Accepted) return std::nullopt;
    return kestrel::hand_entered_spot(dialog.mhz(), dialog.khz(), dialog.hundred_hz(),
                                      dialog.callsign(), dialog.remarks(), now);
}

}  // namespace kestrel::app
