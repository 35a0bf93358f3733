#pragma once
// An INI file read and written the way the platform's private-profile functions do it, so
// a settings file edited by hand or carried over from another machine reads the same:
//
// - section and key names match without regard to ASCII case;
// - blanks (spaces, tabs) around names and values are dropped, and one pair of enclosing
//   quotes ("..." or '...') is removed from a value;
// - a value is cut to the caller's buffer size minus one byte;
// - the first occurrence of a section, and of a key within it, wins;
// - a new key goes after the last key of its section, a new section at the end of the file;
// - every line not changed keeps its bytes, line end included; new lines end in CR LF.
//
// Bytes are never converted: names and values are whatever the file holds (CP932 here).
// The file is read once, any number of gets and sets are applied in memory, and `save`
// replaces it in one step.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel {

// atoi: blanks, an optional sign, decimal digits; the first other byte ends the number,
// no digits give 0, and a number out of range stops at the nearest limit.
std::int32_t parse_number(std::string_view text);

class Profile {
public:
    // An empty profile: the file does not exist yet.
    Profile() = default;

    // Reads `path`. A missing file gives an empty profile. A file that exists but cannot be
    // read (no permission, not a regular file) also reads as empty, but `save` then refuses
    // to overwrite it.
    static Profile load(const std::string& path);
    static Profile parse(std::string_view bytes);

    // The value of `key`, or `default_value` (less its trailing blanks) when the section or
    // the key is missing; either way at most `buffer_size` - 1 bytes.
    std::string get(std::string_view section, std::string_view key, std::string_view default_value,
                    std::size_t buffer_size) const;
    // `get` into a buffer of `buffer_size`, then `parse_number`.
    std::int32_t get_number(std::string_view section, std::string_view key,
                            std::int32_t default_value, std::size_t buffer_size = 30) const;
    // Whether the file holds `key` in `section`.
    bool has(std::string_view section, std::string_view key) const {
        return find(section, key) != nullptr;
    }

    // Creates the section and the key as needed. A value ends at its first NUL, CR or LF,
    // since the file has no way to hold them inside a value.
    void set(std::string_view section, std::string_view key, std::string_view value);
    void set_number(std::string_view section, std::string_view key, std::int32_t value);

    // True once a set has changed the bytes the file would hold.
    bool changed() const { return changed_; }
    // False when the file existed but could not be read.
    bool readable() const { return readable_; }

    // The file's bytes as they stand after the sets.
    std::string bytes() const;
    // Replaces the file at `path` atomically with `bytes()`. False, with the old file left as
    // it was, when the profile was unreadable or the write failed.
    bool save(const std::string& path) const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", ... or empty for a last line without one
        // For a key line, where its value starts in `text` (after the blanks that follow
        // "="); zero for any other line.
        std::size_t value_begin = 0;
    };

    // Case-insensitive (ASCII) hashing and comparison, usable with string_view lookups.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using NameIndex = std::unordered_map<std::string, std::size_t, NameHash, NameEqual>;

    struct Section {
        std::vector<Line> lines;   // the header first, except in the part before any header
        NameIndex keys;            // key name -> index into `lines`, first occurrence
        std::size_t last_key = 0;  // index of the last key line, or of the header
    };

    void add_line(std::string_view text, std::string_view end);
    const Line* find(std::string_view section, std::string_view key) const;
    static std::string_view value_of(const Line& line);
    static void end_line(Line& line);

    // sections_[0] holds the lines before the first header.
    std::vector<Section> sections_ = std::vector<Section>(1);
    NameIndex section_index_;  // section name -> index into sections_, first occurrence
    bool changed_ = false;
    bool readable_ = true;
};

}  // namespace kestrel
