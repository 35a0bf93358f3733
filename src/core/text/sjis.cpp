#include "core/text/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace kestrel::text {
namespace {

// "CP932" rather than "SHIFT_JIS": the latter maps 0x5C and 0x7E to yen and overline and
// rejects half-width katakana, neither of which a packet operator's text expects.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != invalid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; at each sequence iconv refuses, appends `replacement` and skips the
    // refused input (one byte, or the character's whole UTF-8 encoding on the way in).
    std::string run(std::string_view in, std::string_view replacement, bool skip_utf8_char) {
        std::string out;
        if (cd_ == invalid()) return std::string(in);
        out.reserve(in.size() * 3 / 2 + 4);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char buffer[1024];
        while (src_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            std::size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut off at the end): replace and go on.
            out.append(replacement);
            std::size_t skip = skip_utf8_char ? utf8_length(*src, src_left) : 1;
            src += skip;
            src_left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    static std::size_t utf8_length(char first, std::size_t left) {
        auto c = static_cast<unsigned char>(first);
        std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return n < left ? n : left;
    }

    iconv_t cd_;
};

}  // namespace

// One converter per thread: iconv descriptors carry state and are not shared.
std::string cp932_to_utf8(std::string_view cp932) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.run(cp932, replacement_utf8, false);
}

std::string utf8_to_cp932(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.run(utf8, std::string_view(&replacement_cp932, 1), true);
}

}  // namespace kestrel::text
