#include "core/input/key_macros.h"

#include "core/input/terminal_input.h"

namespace kestrel {
namespace {

constexpr int vk_keypad_0 = 0x60;
constexpr int vk_f1 = 0x70;
constexpr std::string_view keypad_operators = "*+,-./";  // 0x6A..0x6F

}  // namespace

int virtual_key(KeyGroup group, int value) {
    switch (group) {
        case KeyGroup::main:
            return (value >= 'A' && value <= 'Z') || (value >= '0' && value <= '9') ? value : 0;
        case KeyGroup::keypad: {
            if (value >= '0' && value <= '9') return vk_keypad_0 + value - '0';
            const std::size_t op = keypad_operators.find(static_cast<char>(value));
            return op == std::string_view::npos ? 0 : vk_keypad_0 + 10 + static_cast<int>(op);
        }
        case KeyGroup::function: return value >= 1 && value <= 24 ? vk_f1 + value - 1 : 0;
        case KeyGroup::other: break;
    }
    return 0;
}

int picked_macro(int virtual_key) {
    int code = virtual_key;
    if (code >= 'a' && code <= 'z') code -= 'a' - 'A';
    return code >= 'A' && code <= 'Z' ? code - 'A' : -1;
}

void type_macro(TerminalInput& input, std::string_view macro) {
    if (macro.empty()) return;
    input.characters(macro);
    input.char_handler('\r');
}

}  // namespace kestrel
