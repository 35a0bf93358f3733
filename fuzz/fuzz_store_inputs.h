#pragma once
// What the fuzz targets for the untrusted inputs that are not cluster traffic run for one
// input: the settings file, the scroll file, the CP932 conversions, the line store and the
// received-line processing. As in fuzz_inputs.h, each returns what went wrong, empty when
// nothing did, and the replay test runs every kept input through the same functions.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "../bench/quiet_desktop.h"
#include "core/link/rx_line.h"
#include "core/screen/line_store.h"
#include "core/screen/scroll_file.h"
#include "core/settings/profile.h"
#include "core/text/sjis.h"
#include "core/transfer/capture.h"
#include "fuzz_inputs.h"

namespace kestrel::fuzz {

// A directory of this process's own for the inputs that must be files, gone at exit.
inline const std::filesystem::path& scratch_dir() {
    struct Dir {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("kestrel-fuzz-" + std::to_string(::getpid()));
        Dir() { std::filesystem::create_directories(path); }
        ~Dir() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Dir dir;
    return dir.path;
}

// The ring's rules, whatever reached it: each line's text ends by column 80 inside its
// record, kinds and selections are ones the program writes, the cursor is on the screen.
inline std::string ring_problem(LineStore& store) {
    std::string problem;
    store.for_each_oldest_first(
        [&problem](const ScreenLine& line) {
            const void* end = std::memchr(line.text, 0, ScreenLine::columns + 1);
            if (end == nullptr) problem = "line text runs past column 80";
            if (line.kind > line_pause_notice || line.selected > 1) problem = "bad line kind";
        },
        true);
    if (store.cursor_row() < 0 || store.cursor_row() >= store.terminal_rows()) {
        return "cursor row off the screen";
    }
    if (store.cursor_column() < 0 || store.cursor_column() > LineStore::columns) {
        return "cursor column off the screen";
    }
    return problem;
}

// Bytes as the ring is fed: the first byte picks the time stamp and the screen's height,
// then each run's first byte picks its length and whether it goes byte by byte. Without
// time stamps a second ring takes every byte through put_char: the two must not differ.
inline std::string line_store_input(const std::uint8_t* data, std::size_t size) {
    bench::QuietDesktop desktop;
    LineStore store{desktop}, bytewise{desktop};
    const bool stamps = size > 0 && (data[0] & 0x80) != 0;
    for (LineStore* ring : {&store, &bytewise}) {
        ring->set_bell(false);
        ring->first_sized(size > 0 ? 1 + data[0] % 60 : 24);
        ring->set_time_stamp(stamps);
    }
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    for (std::size_t at = 1; at < size;) {
        const std::uint8_t how = data[at++];
        const bool notice = (how & 0x80) != 0;
        const std::string_view run = all.substr(at, 1 + (how & 0x3F));
        if ((how & 0x40) != 0) {
            for (char c : run) store.put_char(static_cast<std::uint8_t>(c), notice);
        } else {
            store.put_text(run, notice);
        }
        for (char c : run) bytewise.put_char(static_cast<std::uint8_t>(c), notice);
        at += run.size();
    }
    if (!stamps) {
        for (int age = 0; age < LineStore::line_count; ++age) {
            bool same = true;
            store.with_line(age, [&](const ScreenLine& a) {
                bytewise.with_line(
                    age, [&](const ScreenLine& b) { same = std::memcmp(&a, &b, sizeof a) == 0; });
            });
            if (!same) return "put_text and put_char leave different lines";
        }
        if (store.cursor_column() != bytewise.cursor_column()) {
            return "put_text and put_char leave the cursor in different columns";
        }
    }
    return ring_problem(store);
}

// Any bytes as the scroll file. The first byte's low bit pads the rest, repeated, to a
// file of the real size, so that short inputs reach every record; its second bit adds
// bytes past the end. Afterwards the ring must keep its rules and take new text.
inline std::string scroll_file_input(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const int flags = size > 0 ? data[0] : 0;
    if (size > 0) bytes.erase(0, 1);
    if ((flags & 1) != 0) {
        const std::string seed = bytes.empty() ? std::string(1, '\0') : bytes;
        while (bytes.size() < static_cast<std::size_t>(scroll_file_size)) bytes += seed;
        bytes.resize(static_cast<std::size_t>(scroll_file_size));
        if ((flags & 2) != 0) bytes += seed;
    }
    const std::string path = (scratch_dir() / "scroll.buf").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    bench::QuietDesktop desktop;
    LineStore store{desktop};
    store.first_sized(24);
    load_scroll_file(store, path, desktop);
    std::string problem = ring_problem(store);
    if (!problem.empty()) return problem;
    store.put_text(std::string_view("\b\b\xE3\x81\x80 line\r\n\tx", 14));
    return ring_problem(store);
}

// Valid UTF-8: no stray continuation, no overlong form, no surrogate, nothing past U+10FFFF.
inline bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<std::uint8_t>(s[i]);
        const int extra = b < 0x80                ? 0
                          : b >= 0xC2 && b < 0xE0 ? 1
                          : b >= 0xE0 && b < 0xF0 ? 2
                          : b >= 0xF0 && b < 0xF5 ? 3
                                                  : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size() + (extra == 0)) {
            return false;
        }
        std::uint32_t code = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<std::uint8_t>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            code = (code << 6) | (c & 0x3F);
        }
        if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) ||
            (extra == 3 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// Both directions with any bytes: the screen always gets valid UTF-8, the core always gets
// whole CP932 characters, and text that has been through the core once comes back the
// same the next time round.
inline std::string cp932_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    if (!valid_utf8(text::cp932_to_utf8(all))) return "CP932 to invalid UTF-8";
    const std::string cp932 = text::utf8_to_cp932(all);
    if (!whole_characters(cp932)) return "UTF-8 to a broken CP932 character";
    const std::string shown = text::cp932_to_utf8(cp932);
    if (!valid_utf8(shown)) return "converted text to invalid UTF-8";
    if (text::cp932_to_utf8(text::utf8_to_cp932(shown)) != shown) return "second round differs";
    return {};
}

// A settings file and the sets applied to it: the file's bytes up to the last NUL, then
// records split by 0x01, each a section byte, a key byte and the value. Parsing keeps every
// byte; what is set reads back, before and after the written bytes are read again.
inline std::string profile_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = all.rfind('\0');
    const std::string_view file = nul == std::string_view::npos ? all : all.substr(0, nul);
    std::string_view sets = nul == std::string_view::npos ? "" : all.substr(nul + 1);
    Profile profile = Profile::parse(file);
    if (profile.bytes() != file) return "parse does not keep the bytes";
    static constexpr std::string_view sections[] = {"RS232C", "rs232c", "PROPATY1", "Env"};
    static constexpr std::string_view keys[] = {"COM_PORT", "com_port", "DL_START_STR", "K"};
    std::map<std::pair<int, int>, std::string> expected;  // by section and key, case folded
    while (sets.size() >= 2) {
        const std::size_t end = std::min(sets.find('\x01'), sets.size());
        const int s = static_cast<std::uint8_t>(sets[0]) % 4;
        const int k = static_cast<std::uint8_t>(sets[1]) % 4;
        std::string value(sets.substr(2, end - 2));
        sets.remove_prefix(std::min(end + 1, sets.size()));
        // A value reads back as set when it has no line end, no blanks at its ends and no
        // enclosing quotes: the file's format has no room for those.
        value = value.substr(0, value.find_first_of("\r\n"));
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        if (!value.empty() && value.front() != ' ' && value.front() != '\t' &&
            value.front() != '"' && value.front() != '\'') {
            profile.set(sections[s], keys[k], value);
            expected[{s == 1 ? 0 : s, k == 1 ? 0 : k}] = value;
        }
    }
    const Profile again = Profile::parse(profile.bytes());
    if (again.bytes() != profile.bytes()) return "written bytes read back differently";
    for (const auto& [names, value] : expected) {
        const auto [s, k] = names;
        if (profile.get(sections[s], keys[k], "-", 1024) != value) return "set value not got";
        // Names match whatever their case: the first two of each list are one name.
        if (again.get(sections[s == 0 ? 1 : s], keys[k == 0 ? 1 : k], "-", 1024) != value) {
            return "set value not read back";
        }
    }
    return {};
}

// Received bytes through the line processing with start and end strings from the input, as
// the receiver runs it: the first byte gives the strings' lengths (taken from the bytes
// after it), the rest arrive in reads whose sizes the bytes themselves pick; the screen and
// the capture take each run where the processing acts. Lines handed on hold no LF and at
// most 256 bytes; the line being gathered stays terminated.
inline std::string rx_lines_input(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t start_size = data[0] % 8, end_size = (data[0] >> 3) % 8;
    std::string_view rest = all.substr(1);
    bench::QuietDesktop desktop;
    LineStore store{desktop};
    store.set_bell(false);
    store.set_time_stamp((data[0] & 0x40) != 0);
    Capture capture{desktop, store};
    Settings settings;
    RbbsRecord& record = settings.rbbs[0];
    record.dl_start.assign(rest.substr(0, start_size));
    rest.remove_prefix(std::min(start_size, rest.size()));
    record.dl_end.assign(rest.substr(0, end_size));
    rest.remove_prefix(std::min(end_size, rest.size()));
    record.dl_start_valid = record.dl_end_valid = 1;
    record.extension.assign("LOG");
    settings.dl_dir.assign(scratch_dir().string());
    RbbsShare rbbs;
    LineProcessor lines(capture, settings, rbbs);
    std::string problem;
    lines.set_scope_consumer([&problem](std::string_view line) {
        // The first 255 bytes and the last, which lands on position 255.
        if (line.size() > RxLine::last + 1 || line.find('\n') != std::string_view::npos) {
            problem = "line handed on with an LF or over 256 bytes";
        }
    });
    // As the receiver does it: bytes [begin, at) of the current read go to the screen and
    // the capture whenever the processing is about to act on byte `at`.
    std::size_t begin = 0, at = 0;
    const auto pass_on = [&](std::size_t end) {
        const std::string_view run = rest.substr(begin, end - begin);
        store.put_text(run);
        if (capture.is_open()) capture.capture_received(run);
        begin = end;
    };
    lines.set_before_action([&] { pass_on(at); });
    while (!rest.empty() && problem.empty()) {
        const std::size_t read =
            std::min<std::size_t>(1 + static_cast<std::uint8_t>(rest[0]) * 7 % 300, rest.size());
        lines.begin_read();
        for (begin = at = 0; at < read; ++at) {
            lines.accumulate_byte(static_cast<std::uint8_t>(rest[at]));
        }
        pass_on(read);
        rest.remove_prefix(read);
        const RxLine& line = lines.rx_line();
        if (line.length < 0 || line.length > RxLine::last || line.bytes[RxLine::size - 1] != 0 ||
            line.bytes[RxLine::size - 2] != 0) {
            problem = "received line past its record";
        }
    }
    capture.close();
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(scratch_dir(), ec)) {
        if (file.path().extension() == ".LOG") std::filesystem::remove(file.path(), ec);
    }
    return problem.empty() ? ring_problem(store) : problem;
}

}  // namespace kestrel::fuzz
