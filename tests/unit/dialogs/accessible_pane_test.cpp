// A painted pane as an assistive tool sees it in-process: a read-only text with lines
// and a caret, whatever the pane's class name; other widgets keep their own interfaces.
#include "app/accessibility/accessible_pane.h"
#include "dialog_driver.h"

namespace {

// Deliberately without Q_OBJECT: the factory must recognise panes by what they implement.
struct DummyPane : QWidget, kestrel::app::AccessibleTextSource {
    QString accessible_text() const override { return text; }
    int accessible_caret_offset() const override { return caret; }
    QString text = QStringLiteral("Ｋｅｓｔｒｅｌ\ncmd:C JA1XYZ\n*** CONNECTED");
    int caret = 26;
};

TEST(AccessiblePane, ExposesRowsAndCaretThroughTheTextInterface) {
    kestrel::app::install_pane_accessibility();
    DummyPane pane;
    pane.setAccessibleName("端末");
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&pane);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_EQ(iface->text(QAccessible::Name), "端末");
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, 7), "Ｋｅｓｔｒｅｌ");
    EXPECT_EQ(text->cursorPosition(), 26);
    int start = -1, end = -1;
    EXPECT_EQ(text->textAtOffset(12, QAccessible::LineBoundary, &start, &end).trimmed(),
              "cmd:C JA1XYZ");
    EXPECT_EQ(start, 8);

    // Read live: new text and a caret past the end show without a new interface.
    pane.text += QStringLiteral("\n> 了解");
    pane.caret = 999;
    EXPECT_EQ(text->characterCount(), pane.text.size());
    EXPECT_EQ(text->cursorPosition(), pane.text.size());

    QWidget plain;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&plain)->textInterface(), nullptr);
}

}  // namespace
