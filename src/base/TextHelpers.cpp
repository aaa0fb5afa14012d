#include "base/TextHelpers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/UserLocale.h"

namespace {

constexpr QChar kTab = u'\t';
constexpr char16_t kCtrlZ = 0x1A;
const QString kCrLf = QStringLiteral("\r\n");

// Windows-1252 characters of the bytes 0x80..0x9F. The five codes the code
// page leaves undefined keep their own value: the instrument uses them for its
// unit symbols, which CleanInstrumentText turns into readable text later.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

// One character per byte: built once, then every received chunk is a plain
// table walk.
constexpr std::array<char16_t, 256> MakeDecodeTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) table[b] = static_cast<char16_t>(b);
    for (int b = 0x80; b < 0xA0; ++b) table[b] = kHighControls[b - 0x80];
    table[0xA0] = u' ';  // the instrument's no-break space is an ordinary blank
    return table;
}

constexpr std::array<char16_t, 256> kDecodeTable = MakeDecodeTable();

// The byte of a character, or -1 when Windows-1252 cannot hold it.
int EncodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c) return 0x80 + i;
    }
    return -1;
}

// The readable text of one of the instrument's symbol codes, or nullptr.
const char16_t* SymbolText(char16_t c) {
    switch (c) {
        case 0x81:
            return u"[D]";
        case 0x8D:
            return u"2";
        case 0x8F:
            return u"3";
        case 0x90:
            return u"[I]";
        case 0x9D:
            return u"[II]";
        default:
            return nullptr;
    }
}

bool IsSymbolCode(char16_t c) {
    return SymbolText(c) != nullptr;
}

constexpr double kMsecsPerDay = 86400000.0;
const QDate kOleEpoch(1899, 12, 30);

}  // namespace

QString TakeField(QString& text) {
    if (text.startsWith(kTab)) text.remove(0, 1);
    const qsizetype tab = text.indexOf(kTab);
    if (tab >= 0) {
        QString field = text.left(tab);
        text.remove(0, tab + 1);
        return field;
    }
    const qsizetype lineEnd = text.indexOf(kCrLf);
    QString field = lineEnd >= 0 ? text.left(lineEnd) : QString();
    text.clear();
    return field;
}

QString TakeLine(QString& text, int& tabCount) {
    const qsizetype lineEnd = text.indexOf(kCrLf);
    if (lineEnd < 0) {
        text.clear();
        return QString();
    }
    QString line = text.left(lineEnd + 2);
    text.remove(0, lineEnd + 2);
    tabCount = static_cast<int>(line.count(kTab));
    return line;
}

int LeadingDecimal(QStringView text) {
    // More digits than an int holds: the largest int (the text is the
    // instrument's or a file's, and may be anything).
    constexpr int kLargest = std::numeric_limits<int>::max();
    int value = 0;
    for (const QChar c : text.trimmed()) {
        if (c < u'0' || c > u'9') break;
        const int digit = c.unicode() - u'0';
        if (value > (kLargest - digit) / 10) return kLargest;
        value = value * 10 + digit;
    }
    return value;
}

qint16 HexToInt(const QString& text) {
    // Leading and trailing blanks are allowed; reading stops at the first
    // character that is not a hexadecimal digit. Values wrap to 16 bits, so
    // "FFFF" is -1 as the instrument means it.
    quint32 value = 0;
    const QString digits = text.trimmed();
    for (const QChar ch : digits) {
        const char16_t c = ch.unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0) break;
        value = ((value << 4) | static_cast<quint32>(digit)) & 0xFFFFu;
    }
    return static_cast<qint16>(static_cast<quint16>(value));
}

QString DecimalsPattern(int decimals) {
    if (decimals <= 0) return QStringLiteral("0");
    return QStringLiteral("0") + UserLocale::DecimalSeparator() + QString(decimals, u'0');
}

QString FormatDecimals(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    QString text = QString::number(value, 'f', decimals);
    // A value that rounds to zero is shown without a minus sign.
    if (text.startsWith(u'-')) {
        bool allZero = true;
        for (qsizetype i = 1; i < text.size(); ++i) {
            if (text[i] != u'0' && text[i] != u'.') {
                allZero = false;
                break;
            }
        }
        if (allZero) text.remove(0, 1);
    }
    const QString separator = UserLocale::DecimalSeparator();
    if (decimals > 0 && separator != QStringLiteral(".")) {
        const qsizetype point = text.indexOf(u'.');
        if (point >= 0) text.replace(point, 1, separator);
    }
    return text;
}

QString FormatDateTimeLocal(const QDateTime& dateTime) {
    const QLocale& locale = UserLocale::Locale();
    return locale.toString(dateTime.date(), UserLocale::ShortDateFormat()) + u' ' +
           locale.toString(dateTime.time(), UserLocale::LongTimeFormat());
}

QString DecodeInstrumentBytes(const QByteArray& bytes) {
    // Latin-1 (Qt's decoder is vectorised) is right for every byte but those
    // from 0x80 to 0xA0; replies are nearly all ASCII, so only the groups of
    // eight bytes that hold a high byte go through the table again.
    QString text = QString::fromLatin1(bytes);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    constexpr quint64 kHighBits = 0x8080808080808080u;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 group = 0;
        std::memcpy(&group, in + i, 8);
        if ((group & kHighBits) == 0) continue;
        for (int k = 0; k < 8; ++k) out[i + k] = kDecodeTable[in[i + k]];
    }
    for (; i < size; ++i) out[i] = kDecodeTable[in[i]];
    return text;
}

QString DecodeWindows1252(const QByteArray& bytes) {
    QString text = DecodeInstrumentBytes(bytes);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (in[i] == 0xA0) text[i] = QChar(0xA0);
    }
    return text;
}

QByteArray EncodeInstrumentText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        // A character outside the basic plane is one '?', not two.
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        const int b = EncodeChar(c);
        bytes.append(b >= 0 ? static_cast<char>(b) : '?');
    }
    return bytes;
}

bool InstrumentTextHolds(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar ch) { return EncodeChar(ch.unicode()) >= 0; });
}

QString CleanInstrumentText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (const char16_t* symbol = SymbolText(c)) {
            clean.append(QString::fromUtf16(symbol));
        } else if (c >= 9 && c != kCtrlZ) {
            clean.append(ch);
        }
    }
    return clean;
}

QString SafeFileNameText(const QString& text) {
    QString safe = CleanInstrumentText(text);
    for (QChar& ch : safe) {
        const char16_t c = ch.unicode();
        if (c < 9 || c == u':' || c == u';' || c == u'/' || c == u'\\' || IsSymbolCode(c)) {
            ch = u'_';
        }
    }
    return safe;
}

int ExpandTwoDigitYear(int yy) {
    if (yy < 0 || yy > 99) return yy;
    return yy <= 38 ? 2000 + yy : 1900 + yy;
}

double ToOleDate(const QDateTime& dateTime) {
    if (!dateTime.isValid()) return 0.0;
    const double days = static_cast<double>(kOleEpoch.daysTo(dateTime.date()));
    const double fraction = dateTime.time().msecsSinceStartOfDay() / kMsecsPerDay;
    // Before the epoch the day counts backwards but the time of day still
    // counts forwards: -1.25 is 1899-12-29 06:00.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime FromOleDate(double oleDate) {
    if (!std::isfinite(oleDate)) return QDateTime();
    const double whole = std::trunc(oleDate);
    qint64 msecs = std::llround(std::fabs(oleDate - whole) * kMsecsPerDay);
    QDate date = kOleEpoch.addDays(static_cast<qint64>(whole));
    if (msecs >= static_cast<qint64>(kMsecsPerDay)) {
        // Rounded up to the next midnight.
        date = date.addDays(1);
        msecs -= static_cast<qint64>(kMsecsPerDay);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}
