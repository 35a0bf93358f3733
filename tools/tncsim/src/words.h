#pragma once
// The little text handling that command lines need: ASCII upper case and words split at spaces.

#include <algorithm>
#include <string>
#include <string_view>

namespace tncsim {

inline std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

inline std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Splits the first word off text, leaving the rest trimmed.
inline std::string_view first_word(std::string_view& text) {
    text = trim(text);
    const auto end = std::min(text.find_first_of(" \t"), text.size());
    const std::string_view word = text.substr(0, end);
    text = trim(text.substr(end));
    return word;
}

}  // namespace tncsim
