#pragma once
// A NUL-terminated CP932 text in a fixed buffer of N bytes, as the program's records hold
// them: at most N - 1 bytes of text, never allocated, trivially copyable.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace kestrel::text {

template <std::size_t N>
struct FixedText {
    static_assert(N >= 1);
    static constexpr std::size_t capacity = N - 1;

    char bytes[N] = {};

    FixedText() = default;
    FixedText(std::string_view s) { assign(s); }  // NOLINT: implicit from text is the point

    // Keeps at most N - 1 bytes, as the settings reader and the dialogs do.
    void assign(std::string_view s) {
        std::size_t n = std::min(s.size(), capacity);
        std::memcpy(bytes, s.data(), n);
        std::memset(bytes + n, 0, N - n);
    }
    std::string_view view() const { return std::string_view(bytes, ::strnlen(bytes, N)); }
    const char* c_str() const { return bytes; }
    bool empty() const { return bytes[0] == 0; }
    std::size_t size() const { return view().size(); }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
};

}  // namespace kestrel::text
