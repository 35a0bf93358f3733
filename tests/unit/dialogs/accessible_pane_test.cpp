// A painted pane as an assistive tool sees it in-process: a read-only text with lines
// and a caret, whatever the pane's class name.
#include <QAccessible>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/accessibility/accessible_pane.h"

using namespace kestrel::app;

namespace {

// Deliberately without Q_OBJECT: the factory must recognise panes by what they implement.
class DummyPane : public QWidget, public AccessibleTextSource {
public:
    QString accessible_text() const override { return text; }
    int accessible_caret_offset() const override { return caret; }
    QString text;
    int caret = 0;
};

TEST(AccessiblePane, ExposesRowsAndCaretThroughTheTextInterface) {
    install_pane_accessibility();
    DummyPane pane;
    pane.setAccessibleName("端末");
    pane.text = QStringLiteral("Ｋｅｓｔｒｅｌ\ncmd:C JA1XYZ\n*** CONNECTED");
    pane.caret = 26;

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&pane);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_EQ(iface->text(QAccessible::Name), "端末");
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), pane.text.size());
    EXPECT_EQ(text->text(0, 7), "Ｋｅｓｔｒｅｌ");
    EXPECT_EQ(text->cursorPosition(), 26);

    int start = -1, end = -1;
    QString line = text->textAtOffset(12, QAccessible::LineBoundary, &start, &end);
    EXPECT_EQ(line.trimmed(), "cmd:C JA1XYZ");
    EXPECT_EQ(start, 8);

    // The interface reads the pane live: new text and caret show without a new interface.
    pane.text += QStringLiteral("\n> 了解");
    pane.caret = 999;
    EXPECT_EQ(text->characterCount(), pane.text.size());
    EXPECT_EQ(text->cursorPosition(), pane.text.size());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&pane), iface);
}

TEST(AccessiblePane, OtherWidgetsKeepTheirOwnInterfaces) {
    install_pane_accessibility();
    QWidget plain;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&plain);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->textInterface(), nullptr);
}

}  // namespace
