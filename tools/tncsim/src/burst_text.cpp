#include "burst_text.h"

#include <cstdio>

#include "sjis.h"

namespace tncsim {

std::string burst_text(std::size_t size) {
    const std::string tail = " The quick brown fox jumps over the lazy dog. " +
                             to_sjis("いろはにほへと ちりぬるを") + "\r\n";
    std::string text;
    text.reserve(size);
    for (unsigned n = 1;; ++n) {
        char head[16];
        std::snprintf(head, sizeof head, "%06u", n % 1000000);
        const std::size_t line = std::string_view(head).size() + tail.size();
        if (text.size() + line > size) break;
        text += head;
        text += tail;
    }
    // The rest in ASCII, so that no two-byte character is cut at the end.
    const std::size_t rest = size - text.size();
    if (rest >= 2) {
        text.append(rest - 2, '-');
        text += "\r\n";
    } else {
        text.append(rest, '-');
    }
    return text;
}

}  // namespace tncsim
