#pragma once
// The OK / Cancel pair the program's dialogs end with.

#include <QDialog>
#include <QHBoxLayout>

namespace kestrel::app {

// Appends a stretch, a default "OK" and "ｷｬﾝｾﾙ" to `row`, wired to accept and reject.
void add_ok_cancel(QDialog* dialog, QHBoxLayout* row);

}  // namespace kestrel::app
