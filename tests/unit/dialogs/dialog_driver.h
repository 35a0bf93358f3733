#pragma once
// Drives a dialog as the operator does: finds a control by its accessible name, as a
// screen reader finds it, and types text into it key by key, Japanese included.

#include <QAbstractButton>
#include <QString>
#include <QTest>
#include <QWidget>

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

// One key event per character; QTest::keyClicks knows ASCII only.
inline void type_text(QWidget* widget, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

}  // namespace kestrel::testing
