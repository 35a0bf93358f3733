#pragma once
// Drives a dialog as the operator does: finds a control by its accessible name, as a
// screen reader finds it, types into it key by key, Japanese included, and answers a
// window the code opens with exec() from inside that window's own event loop.

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace kestrel::testing {

template <typename W = QWidget>
W* named(QWidget& root, const QString& name) {
    for (W* w : root.findChildren<W*>())
        if (w->accessibleName() == name) return w;
    ADD_FAILURE() << "no control named " << name.toStdString();
    return nullptr;
}

inline void click(QWidget& root, const QString& name) {
    if (auto* b = named<QAbstractButton>(root, name)) b->click();
}

// Presses the button that ends a dialog; what a dialog runner's callback returns.
inline int end_with(QDialog& d, const QString& name) { return click(d, name), d.result(); }

// One key event per character; QTest::keyClicks knows ASCII only.
inline void type_text(QWidget* widget, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

// Runs `act` once a visible `Window` is the active modal widget, or with null after ten
// seconds, so a window that never opens fails the test instead of hanging it.
template <typename Window>
void when_modal(std::function<void(Window*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=, deadline = QDeadlineTimer(10000)] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!(window && window->isVisible()) && !deadline.hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        act(window && window->isVisible() ? window : nullptr);
    });
    timer->start(5);
}

}  // namespace kestrel::testing
