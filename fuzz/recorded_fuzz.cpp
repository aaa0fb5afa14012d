// Fuzz target: ParseRecordedData, the parser of the instrument's recorded-data replies (the
// download's PLAY reply, the first real-time reply and a real-time poll). The input is a header
// and then the reply's bytes as the link receives them.
//
// Header: [0] reply form, [1] a poll's quantity count, [2] points the document holds already,
// [3] the data line after which the progress callback cancels (0: never).

#include <algorithm>

#include "QtFuzz.h"
#include "base/TextHelpers.h"
#include "download/RecordedDataParser.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in{data, size};
    ReplyShape shape;
    shape.form = static_cast<ReplyForm>(in.Byte() % 3);
    shape.quantities = in.Byte() % 11;
    static constexpr qint32 kHeld[] = {0, 1, 2, 100, kMaxPoints - 2, kMaxPoints - 1, kMaxPoints};
    shape.pointsHeld = kHeld[in.Byte() % std::size(kHeld)];
    const int cancelAt = in.Byte();
    const QString reply = DecodeInstrumentBytes(in.Rest());

    qint32 lastLine = 0;
    const ParseProgress progress = [&](qint32 line) {
        Check(line > lastLine);  // the progress only moves on
        lastLine = line;
        return cancelAt == 0 || line < cancelAt;
    };
    const RecordedData parsed = ParseRecordedData(reply, shape, progress);

    const PointArrays& points = parsed.points;
    Check(parsed.quantities.size() <= kMaxQuantities);
    if (parsed.Complete()) Check(parsed.columnsRead);
    if (shape.form == ReplyForm::Download && parsed.columnsRead) Check(parsed.header.has_value());
    if (!parsed.columnsRead) {
        Check(points.Times.empty());
        Check(parsed.error != ReplyError::None || parsed.cancelled || parsed.endedWithoutLine);
        return 0;
    }
    const size_t columns = static_cast<size_t>(parsed.firstDecimals.size());
    if (shape.form != ReplyForm::RealTimePoll)
        Check(columns == static_cast<size_t>(parsed.quantities.size()));
    Check(points.Values.size() == points.Times.size() * columns);
    Check(points.Valid.size() == points.Values.size());
    Check(static_cast<qint64>(points.Times.size()) + shape.pointsHeld <= kMaxPoints);
    Check(points.Times.size() <= static_cast<size_t>(std::max(parsed.dataLines, 0)));
    for (size_t i = 0; i < points.Valid.size(); ++i) {
        Check(points.Valid[i] <= 1);
        if (!points.Valid[i]) Check(points.Values[i] == 0.0f);
    }
    for (const RecordedQuantity& quantity : parsed.quantities) {
        Check(quantity.name.size() <= QuantityInfo::kNameLength);
        Check(quantity.unit.size() <= QuantityInfo::kUnitLength);
    }
    if (parsed.error != ReplyError::None) Check(parsed.errorLine >= 0);
    return 0;
}
