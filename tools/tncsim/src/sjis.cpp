#include "sjis.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tncsim {

std::string to_sjis(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);

    std::string out;
    std::vector<char> in(utf8.begin(), utf8.end());
    char* in_ptr = in.data();
    std::size_t in_left = in.size();
    char buffer[256];
    while (in_left > 0) {
        char* out_ptr = buffer;
        std::size_t out_left = sizeof buffer;
        const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // Unmappable or broken input: skip one UTF-8 sequence and mark the gap.
        out.push_back('?');
        do {
            ++in_ptr;
            --in_left;
        } while (in_left > 0 && (static_cast<unsigned char>(*in_ptr) & 0xC0) == 0x80);
    }
    iconv_close(cd);
    return out;
}

}  // namespace tncsim
