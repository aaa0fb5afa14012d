// Fuzz target: the TTY emulation and the TTY key translation. The bell (byte 7) writes to
// standard error, where the sanitizers report; it keeps no state and has its own unit test, so
// here it is replaced by an ordinary character to keep the fuzzer's output readable.
#include <vector>

#include "ParserFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> input(data, data + size);
    for (size_t i = 4; i < input.size(); ++i)
        if (input[i] == 7) input[i] = 'G';
    fuzz::RunParser<RS_TTYRECORD>(input.data(), input.size(), RS_TTYInit, RS_TTYRead);
    fuzz::RunTranslate(data, size);
    return 0;
}
