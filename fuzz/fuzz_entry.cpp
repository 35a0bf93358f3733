// libFuzzer entry for the targets of fuzz_store_inputs.h: CMake builds it once per target,
// naming the target and its function.
#include <cstdio>
#include <cstdlib>

#include "fuzz_store_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = kestrel::fuzz::KESTREL_FUZZ_INPUT(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", KESTREL_FUZZ_NAME, problem.c_str());
        std::abort();
    }
    return 0;
}
