#include "app/accessibility/announce.h"

#include <QAccessible>
#include <QWidget>

namespace kestrel::app {

void announce(QWidget* widget, const QString& text) {
    if (!widget) return;
    widget->setAccessibleDescription(text);
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace kestrel::app
