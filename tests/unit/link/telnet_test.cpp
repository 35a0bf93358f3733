// The telnet filter fed the same stream cut at every point: state carries across reads.

#include "core/link/telnet.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

TEST(TelnetFilterTest, StreamCutAnywhereGivesTheSameDataAndAnswers) {
    // A refusal of a refusal (WONT, DONT) is not answered, or the two sides could loop.
    struct Row {
        const char* name;
        std::string in, data, replies;
    } rows[] = {
        {"raw keeps 0xFF",
         "a\xff\xff"
         "b\xff",
         "a\xff\xff"
         "b",
         ""},
        {"telnet",
         "x\xff\xfd\x18\xff\xff\xff\xfa\x18\xff\xff\x01\xff\xf0y\xff\xf1\xff\xfb\x01z"
         "\xff\xfc\x01\xff\xfe\x03q",
         "x\xffyzq", "\xff\xfc\x18\xff\xfe\x01"},
    };
    for (const Row& row : rows) {
        for (std::size_t cut = 0; cut <= row.in.size(); ++cut) {
            SCOPED_TRACE(std::string(row.name) + " cut at " + std::to_string(cut));
            TelnetFilter filter;
            std::string data, replies;
            for (const std::string& part : {row.in.substr(0, cut), row.in.substr(cut)}) {
                std::uint8_t out[64];
                const int n = filter.receive(reinterpret_cast<const std::uint8_t*>(part.data()),
                                             static_cast<int>(part.size()), out, replies);
                data.append(reinterpret_cast<const char*>(out), static_cast<std::size_t>(n));
            }
            EXPECT_EQ(data, row.data);
            EXPECT_EQ(replies, row.replies);
        }
    }
}

}  // namespace
}  // namespace kestrel
