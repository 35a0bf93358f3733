#pragma once
// A message box owned by one of the program's own top-level windows (the PC scope, the
// TALK window) rather than by the main frame, run the way the shell runs its dialogs so
// that scripted runs answer it too.

#include <QMessageBox>
#include <functional>

namespace kestrel::app {

// The box's answer as a QMessageBox::StandardButton (Ok, Yes or No; anything else is a
// dismissal). `buttons` is QMessageBox::Ok or QMessageBox::Yes | QMessageBox::No. `run`
// runs it modally (default exec()).
int window_message_box(QWidget* owner, const QString& text, const QString& caption,
                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                       const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
