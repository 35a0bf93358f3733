#include "app/dialogs/window_message_box.h"

#include <QPushButton>

namespace kestrel::app {

int window_message_box(QWidget* owner, const QString& text, const QString& caption,
                       QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                       const std::function<int(QDialog&)>& run) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon);
    box.setAccessibleName(caption);
    box.setAccessibleDescription(text);
    const std::pair<QMessageBox::StandardButton, QString> labels[] = {
        {QMessageBox::Ok, QStringLiteral("OK")},
        {QMessageBox::Yes, QStringLiteral("はい(&Y)")},
        {QMessageBox::No, QStringLiteral("いいえ(&N)")},
    };
    for (const auto& [button, label] : labels) {
        if (!(buttons & button)) continue;
        QAbstractButton* b = box.addButton(button);
        b->setText(label);
        b->setAccessibleName(label);
    }
    return run ? run(box) : box.exec();
}

}  // namespace kestrel::app
