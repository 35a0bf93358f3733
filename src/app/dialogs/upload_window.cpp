#include "app/dialogs/upload_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/dialogs/cp932_field.h"

namespace kestrel::app {

UploadWindow::UploadWindow(QWidget* owner, std::string_view upload_name)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), owner_(owner) {
    const QString caption = QStringLiteral("U/L中");
    setWindowTitle(caption);
    setAccessibleName(caption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* label = new QLabel(caption);
    name_ = new QLineEdit;
    name_->setReadOnly(true);
    name_->setFocusPolicy(Qt::NoFocus);
    name_->setAccessibleName(caption);
    name_->setMinimumWidth(name_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    label->setBuddy(name_);
    auto* abort = new QPushButton(QStringLiteral("強制終了"));
    abort->setAccessibleName(abort->text());
    abort->setFocusPolicy(Qt::NoFocus);
    connect(abort, &QPushButton::clicked, this, &UploadWindow::abort_requested);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(name_);
    layout->addWidget(abort);
    set_upload_name(upload_name);
    place();
    show();
}

void UploadWindow::set_upload_name(std::string_view upload_name) {
    name_->setText(from_cp932(upload_name));
    name_->setAccessibleDescription(name_->text());
}

QString UploadWindow::upload_name() const { return name_->text(); }

// Near the owner's top right corner, inside it, so it covers the toolbar's end rather
// than the terminal's text.
void UploadWindow::place() {
    adjustSize();
    if (!owner_) return;
    const QRect frame = owner_->frameGeometry();
    move(frame.right() - width() - 16, frame.top() + 48);
}

void UploadWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (owner_ && isActiveWindow()) {
        QTimer::singleShot(0, owner_, [owner = owner_] { owner->activateWindow(); });
    }
}

}  // namespace kestrel::app
