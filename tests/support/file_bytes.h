#pragma once
// Whole-file reads and writes for tests that compare files byte for byte, what a directory
// holds, and files left behind long ago.

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace kestrel::testing {

inline void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// The names in `directory`, sorted.
inline std::set<std::string> names_in(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

// Sets the modification time of `path` (a link itself, not what it names) `age` seconds back.
inline void age_by(const std::string& path, int age) {
    const timespec when[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW);
}

}  // namespace kestrel::testing
