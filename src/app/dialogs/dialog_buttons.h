#pragma once
// The OK / Cancel pair the program's dialogs end with.

#include <QDialog>
#include <QHBoxLayout>

namespace kestrel::app {

// Appends a stretch, a default "OK" and the cancel button (`cancel_label`, "ｷｬﾝｾﾙ" unless
// the dialog names it otherwise) to `row`, wired to accept and reject.
void add_ok_cancel(QDialog* dialog, QHBoxLayout* row,
                   const QString& cancel_label = QStringLiteral("ｷｬﾝｾﾙ"));

}  // namespace kestrel::app
