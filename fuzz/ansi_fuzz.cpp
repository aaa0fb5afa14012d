// Fuzz target: the ANSI parser, the cursor report and the ANSI key translation.
#include "ParserFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::RunParser<RS_ANSIRECORD>(data, size, RS_ANSIInit, RS_ANSIRead);
    RS_POSITION pos;
    if (RS_ANSIGetXY(fuzz::kPort, &pos)) fuzz::Check(!RS_ANSIGetXY(fuzz::kPort, &pos));
    fuzz::Check(!RS_ANSIGetXY(fuzz::kPort, nullptr));
    fuzz::RunTranslate(data, size);
    return 0;
}
