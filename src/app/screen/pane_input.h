#pragma once
// Where the terminal pane sends what the operator does to it: the main frame's key table
// first, then the character handler.

#include <QKeyEvent>
#include <string_view>

namespace kestrel::app {

class PaneInput {
public:
    virtual ~PaneInput() = default;
    // The main frame's key table. True when the key was one of its keys.
    virtual bool key_down(const QKeyEvent& event) = 0;
    // A key combination the main frame handles itself although a menu mnemonic claims it.
    virtual bool claims_key(const QKeyEvent& event) const = 0;
    // Typed characters, CP932, one handler call per byte.
    virtual void characters(std::string_view cp932) = 0;
    virtual void wheel(int delta, Qt::KeyboardModifiers modifiers) = 0;
    virtual void focus_changed(bool focused) = 0;
};

}  // namespace kestrel::app
