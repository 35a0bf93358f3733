#include "core/talk/base64.h"

#include <array>
#include <cstdint>

namespace kestrel {

namespace {

constexpr std::string_view alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::uint8_t outside = 0xFF;

// The 6-bit value of each byte, `outside` for bytes not in the alphabet.
constexpr std::array<std::uint8_t, 256> sextets = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(outside);
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<std::uint8_t>(alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return table;
}();

}  // namespace

std::string base64_encode(std::string_view bytes) {
    std::string coded;
    coded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group <<= 8;
            if (k < n) group |= static_cast<std::uint8_t>(bytes[i + k]);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            coded += k <= n ? alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return coded;
}

std::string base64_decode(std::string_view coded) {
    std::string bytes(coded.size() * 3 / 4, '\0');
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t out = 0;
    for (char c : coded) {
        const std::uint8_t value = sextets[static_cast<std::uint8_t>(c)];
        if (value == outside) break;
        bits = ((bits << 6) | value) & 0xFFFFFF;
        held += 6;
        if (held >= 8) {
            held -= 8;
            if (out < bytes.size()) bytes[out++] = static_cast<char>((bits >> held) & 0xFF);
        }
    }
    // The bits left over begin the next byte; the rest of it, and all after, are zero.
    if (held > 0 && out < bytes.size()) {
        bytes[out] = static_cast<char>((bits << (8 - held)) & 0xFF);
    }
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace kestrel
