#include "app/accessibility/accessible_pane.h"

#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>

namespace kestrel::app {

namespace {

class AccessiblePane : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    AccessiblePane(QWidget* widget, AccessibleTextSource* source)
        : QAccessibleWidget(widget, QAccessible::EditableText), source_(source) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.editable = false;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return source_->accessible_text();
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) s = widget()->objectName();
        return s;
    }

    // QAccessibleTextInterface. The panes have no selection of characters: the back-scroll
    // pane selects whole lines, which its rows' colours show.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override {
        return std::clamp(source_->accessible_caret_offset(), 0, characterCount());
    }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString all = source_->accessible_text();
        start = std::clamp(start, 0, int(all.size()));
        end = end < 0 ? int(all.size()) : std::clamp(end, start, int(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(source_->accessible_text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = std::max(offset, 0);
        *end = *start;
        return QString();
    }

    // What assistive tools were last told, so a change is sent as the part that changed.
    QString told_text;
    int told_caret = -1;

private:
    AccessibleTextSource* source_;
};

// The factory is asked for every class on the object's way up to QObject, and is keyed by
// class name; whether a widget is a pane is decided by what it implements.
QAccessibleInterface* pane_factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    auto* source = dynamic_cast<AccessibleTextSource*>(widget);
    if (!source) return nullptr;
    return new AccessiblePane(widget, source);
}

}  // namespace

void install_pane_accessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(pane_factory);
        return true;
    }();
    (void)installed;
}

void notify_pane_text_changed(QWidget* pane) {
    if (!pane || !QAccessible::isActive()) return;
    auto* pane_interface =
        dynamic_cast<AccessiblePane*>(QAccessible::queryAccessibleInterface(pane));
    if (!pane_interface) return;
    auto* source = dynamic_cast<AccessibleTextSource*>(pane);
    const QString now = source->accessible_text();
    const QString& before = pane_interface->told_text;
    if (now != before) {
        // Send only the span that differs, as a replacement of the old span by the new.
        const int limit = int(std::min(now.size(), before.size()));
        int prefix = 0;
        while (prefix < limit && now[prefix] == before[prefix]) ++prefix;
        int suffix = 0;
        while (suffix < limit - prefix &&
               now[now.size() - 1 - suffix] == before[before.size() - 1 - suffix])
            ++suffix;
        QAccessibleTextUpdateEvent update(pane, prefix,
                                          before.mid(prefix, before.size() - prefix - suffix),
                                          now.mid(prefix, now.size() - prefix - suffix));
        pane_interface->told_text = now;
        QAccessible::updateAccessibility(&update);
    }
    const int caret = std::clamp(source->accessible_caret_offset(), 0, int(now.size()));
    if (caret != pane_interface->told_caret) {
        pane_interface->told_caret = caret;
        QAccessibleTextCursorEvent moved(pane, caret);
        QAccessible::updateAccessibility(&moved);
    }
}

}  // namespace kestrel::app
