#pragma once
// Whole-file reads and writes for the settings tests, which compare files byte for byte.

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace kestrel::testing {

inline void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kestrel::testing
