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
        {"raw keeps 0xFF", "a\377\377b\377", "a\377\377b", ""},
        {"telnet",
         "x\377\375\030\377\377\377\372\030\377\377\001\377\360y\377\361\377\373\001z"
         "\377\374\001\377\376\003q",
         "x\377yzq", "\377\374\030\377\376\001"},
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
