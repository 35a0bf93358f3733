// Every input kept under fuzz/corpus/<target>/ (seeds and any crash found) through the same
// entry as the fuzz target, so the fuzzers' finds stay regression tests without clang.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "../../../fuzz/fuzz_inputs.h"
#include "../../../fuzz/fuzz_store_inputs.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

TEST(FuzzCorpus, EveryKeptInputPasses) {
    const fs::path corpus = KESTREL_FUZZ_CORPUS;
    const std::pair<const char*, std::string (*)(const std::uint8_t*, std::size_t)> targets[] = {
        {"fuzz_spot_parser", fuzz::spot_parser_input},
        {"fuzz_talk_intake", fuzz::talk_intake_input},
        {"fuzz_profile", fuzz::profile_input},
        {"fuzz_scroll_file", fuzz::scroll_file_input},
        {"fuzz_cp932", fuzz::cp932_input},
        {"fuzz_line_store", fuzz::line_store_input},
        {"fuzz_rx_lines", fuzz::rx_lines_input}};
    for (const auto& [name, run] : targets) {
        int inputs = 0;
        for (const auto& file : fs::directory_iterator(corpus / name)) {
            SCOPED_TRACE(file.path().string());
            std::ifstream in(file.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "");
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << name;
    }
}

}  // namespace
}  // namespace kestrel
