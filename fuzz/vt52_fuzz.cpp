// Fuzz target: the VT52 parser and the VT52 key translation.
#include "ParserFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::RunParser<RS_VT52RECORD>(data, size, RS_VT52Init, RS_VT52Read);
    fuzz::RunTranslate(data, size);
    return 0;
}
