// Fuzz target: the device-information replies (VERS, SNUM and CAL), read into the device
// information the window and tr58 info show. The input is split into the three replies at the
// first two NUL bytes.

#include "QtFuzz.h"
#include "base/TextHelpers.h"
#include "instrument/DeviceInformation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzz::Bytes(data, size).split('\0');
    DeviceInformation info;
    ReadVersReply(DecodeInstrumentBytes(parts.value(0)), info);
    ReadSnumReply(DecodeInstrumentBytes(parts.value(1)), info);
    ReadCalReply(DecodeInstrumentBytes(parts.value(2)), info);
    // A second reading over the first, as a repeated Refresh does.
    ReadVersReply(DecodeInstrumentBytes(parts.value(2)), info);
    ReadSnumReply(DecodeInstrumentBytes(parts.value(0)), info);
    ReadCalReply(DecodeInstrumentBytes(parts.value(1)), info);
    fuzz::Check(!info.version.isEmpty() || parts.value(2).indexOf("\r\n") < 0);
    return 0;
}
