#include "app/dialogs/dialog_buttons.h"

#include <QPushButton>

namespace kestrel::app {

void add_ok_cancel(QDialog* dialog, QHBoxLayout* row, const QString& cancel_label) {
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    ok->setAccessibleName(ok->text());
    auto* cancel = new QPushButton(cancel_label);
    cancel->setAccessibleName(cancel->text());
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
}

}  // namespace kestrel::app
