// libFuzzer entry: see fuzz_inputs.h.
#include <cstdio>
#include <cstdlib>

#include "fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = kestrel::fuzz::spot_parser_input(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_spot_parser: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
