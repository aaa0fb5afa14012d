#include "download/RecordedDataParser.h"

#include <algorithm>

#include "base/TextHelpers.h"
#include "document/DocumentTexts.h"
#include "document/PointTime.h"
#include "download/TimeStamp.h"

namespace {

constexpr char16_t kCtrlZ = 0x1A;
constexpr char16_t kTab = u'\t';

// The reply taken line by line as the instrument ends its lines, at CR LF (a
// lone CR or LF is text). Like TakeLine, text without a CR LF is no line: the
// reader gives an empty line, stands at the end, and the TAB count of the
// previous line stays; the checks below rely on that count.
class LineReader {
public:
    explicit LineReader(QStringView text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // Only the reply's end mark is left.
    bool AtEndMark() const { return pos_ + 1 == text_.size() && text_[pos_] == kCtrlZ; }
    qint32 LinesTaken() const { return taken_; }

    // The next line with its CR LF; tabs becomes its TAB count.
    QStringView Take(int& tabs) {
        const QStringView line = Take();
        if (!line.isEmpty())
            tabs = static_cast<int>(std::count(line.utf16(), line.utf16() + line.size(), kTab));
        return line;
    }

    // The next line with its CR LF.
    QStringView Take() {
        ++taken_;
        qsizetype cr = pos_;
        for (;;) {
            cr = text_.indexOf(u'\r', cr);
            if (cr < 0 || cr + 1 >= text_.size()) {
                pos_ = text_.size();
                return {};
            }
            if (text_[cr + 1] == u'\n') break;
            ++cr;
        }
        const QStringView line = text_.sliced(pos_, cr + 2 - pos_);
        pos_ = cr + 2;
        return line;
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
    qint32 taken_ = 0;
};

bool Fail(RecordedData& data, ReplyError error, qint32 line) {
    data.error = error;
    data.errorLine = line;
    return false;
}

// The header: name, start, point count, interval.
bool ReadHeader(LineReader& lines, RecordedData& data) {
    int tabs = 0;
    QString fields = lines.Take(tabs).toString();
    if (tabs != 3) return Fail(data, ReplyError::Header, lines.LinesTaken());
    ReplyHeader header;
    header.name = TakeField(fields);
    const QString start = TakeField(fields);
    header.count = TakeField(fields).trimmed();
    const QString interval = TakeField(fields);
    // "." or nothing: the file has no start time. An unreadable start is
    // passed over too; the first point's time replaces it at the end.
    if (start != QStringLiteral(".") && !start.isEmpty()) header.start = GetCDate(start);
    header.intervalUnit = static_cast<qint16>(LeadingDecimal(QStringView(interval).left(2)));
    header.intervalValue = HexToInt(interval.right(2));
    data.header = std::move(header);
    return true;
}

// The names and units lines; tabs ends as the units line's TAB count.
bool ReadColumns(LineReader& lines, bool realTime, RecordedData& data, int& tabs) {
    QStringView names = lines.Take(tabs);
    // A real-time names line has a first field of its own above the time
    // column; it is dropped so the line has the form of a downloaded one.
    if (realTime) names = names.sliced(std::max<qsizetype>(0, names.indexOf(kTab)));
    // A document holds 1 to 8 quantities; another count is no reply of a TR58.
    const int quantities = tabs;
    if (quantities < 1 || quantities > kMaxQuantities)
        return Fail(data, ReplyError::Columns, lines.LinesTaken());
    FieldCursor nameFields(WithoutLineEnd(names));
    nameFields.SkipLeadingTab();
    for (int q = 0; q < quantities; ++q)
        data.quantities.append({QuantityNameText(nameFields.Next()), QString()});

    tabs = -1;  // a missing units line must not pass for one
    const QStringView units = lines.Take(tabs);
    if (tabs != quantities) return Fail(data, ReplyError::Columns, lines.LinesTaken());
    FieldCursor unitFields(WithoutLineEnd(units));
    unitFields.SkipLeadingTab();
    for (RecordedQuantity& quantity : data.quantities)
        quantity.unit = QuantityUnitText(unitFields.Next());
    return true;
}

// One reading, from p up to the next TAB or end; next is set to that TAB or
// end. The instrument's plain decimals are read here at once; anything else
// (its placeholders for a missing reading, blanks, an exponent) goes to
// ParseReading, which decides for every form.
bool ReadValue(const char16_t* p, const char16_t* end, const char16_t*& next, float& value,
               QStringView& field) {
    const char16_t* const start = p;
    const bool negative = p < end && *p == u'-';
    if (negative) ++p;
    quint64 digits = 0;
    int count = 0;
    int fraction = 0;
    for (; p < end && static_cast<unsigned>(*p - u'0') < 10; ++p, ++count)
        digits = digits * 10 + static_cast<unsigned>(*p - u'0');
    if (p < end && *p == u'.') {
        for (++p; p < end && static_cast<unsigned>(*p - u'0') < 10; ++p, ++count, ++fraction)
            digits = digits * 10 + static_cast<unsigned>(*p - u'0');
    }
    if ((p == end || *p == kTab) && count > 0 && count <= 15) {
        next = p;
        field = QStringView(start, p);
        return QuickReading(digits, fraction, negative, value) || ParseReading(field, value);
    }
    next = std::find(p, end, kTab);
    field = QStringView(start, next);
    return ParseReading(field, value);
}

// A data line read in one pass: its fields, and its TABs counted meanwhile.
struct DataLine {
    int tabs = 0;
    std::optional<double> time;  // none when the time stamp is no date
    float values[kMaxQuantities] = {};
    quint8 valid[kMaxQuantities] = {};
    QStringView fields[kMaxQuantities];
};

DataLine ReadDataLine(QStringView line, int quantities, StampReader& stamps) {
    DataLine read;
    const QStringView text = WithoutLineEnd(line);
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    const char16_t* const stampEnd = std::find(p, end, kTab);
    read.time = stamps.Read(QStringView(p, stampEnd));
    p = stampEnd;
    for (int q = 0; q < quantities && p < end; ++q) {
        ++read.tabs;
        float value = 0.0f;
        if (ReadValue(p + 1, end, p, value, read.fields[q])) {
            read.values[q] = value;
            read.valid[q] = 1;
        }
    }
    read.tabs += static_cast<int>(std::count(p, end, kTab));
    return read;
}

void AddPoint(const DataLine& read, int quantities, RecordedData& data) {
    PointArrays& points = data.points;
    points.Times.push_back(*read.time);
    qint16* decimals = data.firstDecimals.data();
    for (int q = 0; q < quantities; ++q) {
        points.Values.push_back(read.values[q]);
        points.Valid.push_back(read.valid[q]);
        if (read.valid[q] && decimals[q] == -1) decimals[q] = GetDecimals(read.fields[q]);
    }
}

// The data lines, up to the end mark. tabs comes in as the last TAB count read.
void ReadPoints(LineReader& lines, const ReplyShape& shape, int quantities, int tabs,
                const ParseProgress& progress, RecordedData& data) {
    const bool realTime = shape.form != ReplyForm::Download;
    StampReader stamps;
    while (!lines.AtEnd()) {
        // A download whose file holds no point: the end mark follows the units.
        if (!realTime && lines.AtEndMark()) return;
        if (progress && !progress(data.dataLines + 1)) {
            data.cancelled = true;
            return;
        }
        ++data.dataLines;
        const QStringView line = lines.Take();
        const DataLine read = line.isEmpty() ? DataLine() : ReadDataLine(line, quantities, stamps);
        if (!line.isEmpty()) tabs = read.tabs;
        // One TAB just before the line end is tolerated.
        if (line.size() > 3 && line[line.size() - 3] == kTab) --tabs;
        if (tabs != quantities) {
            // A real-time reply without a further line ends here, quietly.
            if (realTime && line.isEmpty()) {
                data.endedWithoutLine = true;
                return;
            }
            Fail(data, ReplyError::FieldCount, lines.LinesTaken());
            return;
        }
        if (shape.pointsHeld + static_cast<qint32>(data.points.Times.size()) >= kMaxPoints) {
            data.truncated = true;
            return;
        }
        if (!read.time) {
            Fail(data, ReplyError::TimeStamp, lines.LinesTaken());
            return;
        }
        AddPoint(read, quantities, data);
        if (lines.AtEndMark()) return;
    }
}

}  // namespace

RecordedData ParseRecordedData(QStringView reply, const ReplyShape& shape,
                               const ParseProgress& progress) {
    RecordedData data;
    const bool realTime = shape.form != ReplyForm::Download;
    if (reply.isEmpty() || reply == u" " || reply.back() != kCtrlZ) {
        Fail(data, ReplyError::Unended, 0);
        return data;
    }
    // A real-time reply may start with the CTRL-Z of the exchange before.
    if (realTime && reply.size() >= 3 && reply.front() == kCtrlZ) reply = reply.sliced(1);

    LineReader lines(reply);
    // One TAB count for the whole reply, as a line without CR LF leaves it.
    int tabs = 0;
    int quantities = std::clamp(shape.quantities, 0, kMaxQuantities);
    if (shape.form == ReplyForm::Download && !ReadHeader(lines, data)) return data;
    if (shape.form != ReplyForm::RealTimePoll) {
        if (!ReadColumns(lines, realTime, data, tabs)) return data;
        quantities = static_cast<int>(data.quantities.size());
    }
    data.columnsRead = true;
    data.firstDecimals = QList<qint16>(quantities, -1);

    // Room for the points the header announces, so the arrays grow once.
    const qint32 expected = data.header ? std::min(data.header->count.toInt(), kMaxPoints) : 0;
    if (expected > 0) {
        data.points.Times.reserve(static_cast<size_t>(expected));
        data.points.Values.reserve(static_cast<size_t>(expected) * quantities);
        data.points.Valid.reserve(static_cast<size_t>(expected) * quantities);
    }
    ReadPoints(lines, shape, quantities, tabs, progress, data);
    return data;
}
