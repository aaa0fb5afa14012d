// Fuzz target: the .t58 round trip. Whatever the reader accepts, written with the program's save
// and read back, is the same document: points, their times and validity, the quantities' names
// and units, the title, the notes and the interval, as the file format keeps them: names and
// units without trailing blanks, and each value with its quantity's decimals (those of its first
// value), so a later value with more decimals comes back rounded to them. From then on the document
// is a fixed point: a second save writes the very same bytes.

#include <QBuffer>
#include <algorithm>
#include <cmath>

#include "QtFuzz.h"
#include "document/Document.h"
#include "document/T58File.h"

using fuzz::Check;

namespace {

bool Read(Document& document, QByteArray bytes) {
    QBuffer buffer(&bytes);
    Check(buffer.open(QIODevice::ReadOnly));
    return t58FormatOpen(document, buffer);
}

QByteArray Write(Document& document) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    Check(buffer.open(QIODevice::WriteOnly));
    Check(t58Format(document, buffer));
    return bytes;
}

// Names and units are written without their trailing blanks.
QString WithoutTrailingBlanks(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace()) --n;
    return text.left(n);
}

// Equal numbers (a zero's sign aside), or both not a number.
template <typename T>
bool Same(T a, T b) {
    return a == b || (a != a && b != b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document first;
    if (!Read(first, fuzz::Bytes(data, size))) return 0;
    const QByteArray written = Write(first);
    Document second;
    Check(Read(second, written));

    Check(second.Title == first.Title);
    Check(second.Notes == first.Notes);
    Check(second.IntervalUnit == first.IntervalUnit);
    Check(second.IntervalValue == first.IntervalValue);
    Check(second.QuantityCount() == first.QuantityCount());
    for (int q = 0; q < first.QuantityCount(); ++q) {
        Check(second.Quantity(q).Name == WithoutTrailingBlanks(first.Quantity(q).Name));
        Check(second.Quantity(q).Unit == WithoutTrailingBlanks(first.Quantity(q).Unit));
    }
    Check(second.PointCount() == first.PointCount());
    for (qint32 i = 0; i < first.PointCount(); ++i) {
        Check(Same(second.PointTime(i), first.PointTime(i)));
        for (int q = 0; q < first.QuantityCount(); ++q) {
            const PointValue a = first.Value(i, q);
            const PointValue b = second.Value(i, q);
            Check(a.Valid == b.Valid);
            if (!a.Valid) continue;
            const int decimals = std::clamp<int>(first.Quantity(q).Decimals, 0, 30);
            const double rounding = 0.5 * std::pow(10.0, -decimals);
            const double precision = 1e-6 * std::max(std::fabs(a.Value), 1.0f);
            Check(Same(a.Value, b.Value) ||
                  std::fabs(double(a.Value) - double(b.Value)) <= rounding + precision);
        }
    }
    // And the second save writes the very same bytes.
    Check(Write(second) == written);
    return 0;
}
