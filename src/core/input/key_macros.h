#pragma once
// Key macros A..Z: which key picks which macro in the send dialog, and typing a picked
// macro into the terminal.
//
// Keys are told apart by their virtual-key codes: letters 0x41..0x5A, digits 0x30..0x39,
// keypad digits 0x60..0x69, keypad operators 0x6A..0x6F, F1..F24 0x70..0x87. A code in
// 0x61..0x7A is upper-cased as if it were a character before the letter test, so keypad
// 1..9, the keypad operators and F1..F11 pick macros too (keypad 1 picks A, F1 picks P):
// operators pick their macros with those keys, and the rule keeps them working.

#include <string_view>

namespace kestrel {

class TerminalInput;

// Where a key sits on the keyboard, as the desktop reports it.
enum class KeyGroup {
    main,      // `value`: the key's upper-case ASCII letter or digit
    keypad,    // `value`: '0'..'9' or one of * + , - . /
    function,  // `value`: 1..24 for F1..F24
    other,
};

// The key's virtual-key code; 0 for a key without one the macros care about.
int virtual_key(KeyGroup group, int value);

// The macro index 0..25 (A..Z) a virtual-key code picks, or -1.
int picked_macro(int virtual_key);

// A picked macro typed into the terminal as the operator would type it: its bytes, then
// CR unless it is empty, each through the terminal's character handler (local echo, the
// capture of typed characters, and in split view the continuous read's Enter).
void type_macro(TerminalInput& input, std::string_view macro);

}  // namespace kestrel
