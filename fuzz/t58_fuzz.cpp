// Fuzz target: the .t58 reader (t58FormatOpen), given any bytes as a file. An accepted document
// must be whole: 1 to 8 quantities, names and units within their widths, every point with a
// value and validity per quantity, and statistics that make sense.

#include <QBuffer>
#include <cmath>

#include "QtFuzz.h"
#include "document/Document.h"
#include "document/T58File.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = fuzz::Bytes(data, size);
    QBuffer buffer(&bytes);
    Check(buffer.open(QIODevice::ReadOnly));
    Document document;
    const bool accepted = t58FormatOpen(document, buffer);
    Check(accepted != document.bInvalidFile);
    Check(!document.bCommunicate);
    if (!accepted) return 0;
    const int quantities = document.QuantityCount();
    Check(quantities >= 1 && quantities <= kMaxQuantities);
    Check(document.PointCount() >= 0);
    for (int q = 0; q < quantities; ++q) {
        const QuantityInfo& quantity = document.Quantity(q);
        Check(quantity.Name.size() <= QuantityInfo::kNameLength);
        Check(quantity.Unit.size() <= QuantityInfo::kUnitLength);
        if (quantity.StatsValid) Check(!(quantity.Minimum > quantity.Maximum));
    }
    for (qint32 i = 0; i < document.PointCount(); ++i) {
        for (int q = 0; q < quantities; ++q) {
            const PointValue value = document.Value(i, q);
            Check(value.Valid == 0 || value.Valid == 1);
            if (!value.Valid) Check(value.Value == 0.0f);
        }
    }
    if (document.PointCount() > 0) {
        // The texts every page shows of a point.
        (void)document.strGetTime(0);
        (void)document.strGetTime(document.PointCount() - 1);
    }
    return 0;
}
