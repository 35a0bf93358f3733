#include "core/settings/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/settings/replace_file.h"
#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }

constexpr char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Calls `each` with every byte of `name`, ASCII letters folded to lower case. The second
// byte of a CP932 character is passed unfolded: 0x41..0x5A there is half of a kana or
// kanji, and folding it would make two different characters match.
template <typename Each>
void for_each_folded(std::string_view name, Each each) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (text::is_lead_byte(name[i]) && i + 1 < name.size()) {
            each(name[i]);
            each(name[++i]);
        } else {
            each(fold(name[i]));
        }
    }
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trim_end(std::string_view s) {
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

std::size_t skip_blanks(std::string_view s, std::size_t pos) {
    while (pos < s.size() && is_blank(s[pos])) ++pos;
    return pos;
}

std::string_view cut(std::string_view s, std::size_t buffer_size) {
    if (buffer_size == 0) return {};
    return s.substr(0, std::min(s.size(), buffer_size - 1));
}

// Whole file or nothing; `ok` is false when the file exists but could not be read.
std::string read_file(const std::string& path, bool& ok) {
    ok = true;
    // Non-blocking so that a FIFO given as the name cannot hang start-up.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ok = errno == ENOENT || errno == ENOTDIR;
        return {};
    }
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ok = false;
    } else {
        out.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                out.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                ok = false;
                out.clear();
                break;
            }
        }
    }
    ::close(fd);
    return out;
}

}  // namespace

std::int32_t parse_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{INT_MAX} + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<std::int32_t>(value);
}

std::size_t Profile::NameHash::operator()(std::string_view name) const {
    std::size_t h = 14695981039346656037ull;
    for_each_folded(name, [&h](char c) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    });
    return h;
}

bool Profile::NameEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    // A lead byte is never folded, so equal names have their lead bytes in the same places.
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (text::is_lead_byte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

Profile Profile::load(const std::string& path) {
    bool ok = true;
    Profile profile = parse(read_file(path, ok));
    profile.readable_ = ok;
    return profile;
}

Profile Profile::parse(std::string_view bytes) {
    Profile profile;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t newline = bytes.find('\n', pos);
        std::size_t next = newline == std::string_view::npos ? bytes.size() : newline + 1;
        std::size_t text_end = newline == std::string_view::npos ? bytes.size() : newline;
        while (text_end > pos && bytes[text_end - 1] == '\r') --text_end;
        profile.add_line(bytes.substr(pos, text_end - pos),
                         bytes.substr(text_end, next - text_end));
        pos = next;
    }
    return profile;
}

void Profile::add_line(std::string_view text, std::string_view end) {
    Line line{std::string(text), std::string(end), 0};
    std::size_t start = skip_blanks(text, 0);
    if (start < text.size() && text[start] == '[') {
        std::size_t close = text.find(']', start + 1);
        // A "[" line without "]" is no header; it is kept but names nothing.
        if (close != std::string_view::npos && close > start) {
            std::string_view name = trim(text.substr(start + 1, close - start - 1));
            sections_.emplace_back();
            sections_.back().lines.push_back(std::move(line));
            section_index_.try_emplace(std::string(name), sections_.size() - 1);
            return;
        }
    } else if (std::size_t equals = text.find('=', start);
               equals != std::string_view::npos && sections_.size() > 1) {
        // Keys before the first header belong to no section and are never found.
        std::string_view name = trim(text.substr(start, equals - start));
        if (!name.empty()) {
            Section& section = sections_.back();
            line.value_begin = skip_blanks(text, equals + 1);
            section.keys.try_emplace(std::string(name), section.lines.size());
            section.last_key = section.lines.size();
        }
    }
    sections_.back().lines.push_back(std::move(line));
}

const Profile::Line* Profile::find(std::string_view section, std::string_view key) const {
    auto s = section_index_.find(section);
    if (s == section_index_.end()) return nullptr;
    const Section& found = sections_[s->second];
    auto k = found.keys.find(key);
    return k == found.keys.end() ? nullptr : &found.lines[k->second];
}

std::string_view Profile::value_of(const Line& line) {
    return trim_end(std::string_view(line.text).substr(line.value_begin));
}

std::string Profile::get(std::string_view section, std::string_view key,
                         std::string_view default_value, std::size_t buffer_size) const {
    const Line* line = find(section, key);
    if (line == nullptr) return std::string(cut(trim_end(default_value), buffer_size));
    std::string_view value = value_of(*line);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(cut(value, buffer_size));
}

std::int32_t Profile::get_number(std::string_view section, std::string_view key,
                                 std::int32_t default_value, std::size_t buffer_size) const {
    return parse_number(get(section, key, std::to_string(default_value), buffer_size));
}

void Profile::end_line(Line& line) {
    if (!line.end.empty() && line.end.back() == '\n') return;
    line.end += !line.end.empty() && line.end.back() == '\r' ? "\n" : "\r\n";
}

void Profile::set(std::string_view section, std::string_view key, std::string_view value) {
    value = value.substr(0, value.find_first_of(std::string_view("\0\r\n", 3)));

    std::size_t index;
    if (auto s = section_index_.find(section); s != section_index_.end()) {
        index = s->second;
    } else {
        if (!sections_.back().lines.empty()) end_line(sections_.back().lines.back());
        index = sections_.size();
        sections_.emplace_back();
        std::string header;
        header.reserve(section.size() + 2);
        header.append("[").append(section).append("]");
        sections_.back().lines.push_back({std::move(header), "\r\n", 0});
        section_index_.try_emplace(std::string(section), index);
    }

    Section& target = sections_[index];
    if (auto k = target.keys.find(key); k != target.keys.end()) {
        Line& line = target.lines[k->second];
        if (std::string_view(line.text).substr(line.value_begin) == value) return;
        line.text.resize(line.value_begin);
        line.text.append(value);
        changed_ = true;
        return;
    }

    Line line;
    line.text.reserve(key.size() + 1 + value.size());
    line.text.append(key).append("=").append(value);
    line.end = "\r\n";
    line.value_begin = key.size() + 1;
    end_line(target.lines[target.last_key]);
    std::size_t at = target.last_key + 1;
    target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    target.keys.try_emplace(std::string(key), at);
    target.last_key = at;
    changed_ = true;
}

void Profile::set_number(std::string_view section, std::string_view key, std::int32_t value) {
    set(section, key, std::to_string(value));
}

std::string Profile::bytes() const {
    std::size_t size = 0;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) size += line.text.size() + line.end.size();
    }
    std::string out;
    out.reserve(size);
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) out.append(line.text).append(line.end);
    }
    return out;
}

bool Profile::save(const std::string& path) const {
    return readable_ && replace_file(path, bytes());
}

}  // namespace kestrel
