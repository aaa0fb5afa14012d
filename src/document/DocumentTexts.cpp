#include "document/DocumentTexts.h"

#include <QDateTime>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstring>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "document/DocumentRecord.h"
#include "document/PointTime.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A reading is written with at most this many decimals, whatever its quantity's.
constexpr int kMostWrittenDecimals = 30;

// Drops the sign of a text that shows nothing but zeros ("-0.00").
void DropNegativeZero(char* begin, char*& end) {
    if (begin == end || *begin != '-') return;
    for (const char* p = begin + 1; p != end; ++p) {
        if (*p != '0' && *p != '.') return;
    }
    std::copy(begin + 1, end, begin);
    --end;
}

}  // namespace

qint16 GetDecimals(QStringView text) {
    qsizetype mark = text.indexOf(u'.');
    qsizetype markSize = 1;
    if (mark < 0) {
        const QString separator = UserLocale::DecimalSeparator();
        if (separator != QStringLiteral(".")) {
            mark = text.indexOf(separator);
            markSize = separator.size();
        }
    }
    if (mark < 0) return 0;
    return static_cast<qint16>(text.size() - mark - markSize);
}

QString QuantityNameText(QStringView field) {
    const QString name = field.left(QuantityInfo::kNameLength).toString();
    return CleanInstrumentText(name).left(QuantityInfo::kNameLength);
}

QString QuantityUnitText(QStringView field) {
    const QString unit = field.left(QuantityInfo::kUnitLength).toString();
    return CleanInstrumentText(unit).left(QuantityInfo::kUnitLength);
}

bool ParseReading(QStringView text, float& value) {
    // Grammar: blanks, [sign] digits [. digits] | . digits, [e [sign] digits], blanks.
    qsizetype i = 0;
    qsizetype n = text.size();
    while (i < n && text[i] == u' ') ++i;
    while (n > i && text[n - 1] == u' ') --n;
    // Whatever a saved file holds must read back: the limit stands above the longest reading the
    // program writes, a single's largest value (39 digits) with the most decimals, a sign and a
    // point.
    constexpr qsizetype kLongestReading = 96;
    static_assert(kLongestReading >= 1 + 39 + 1 + kMostWrittenDecimals);
    if (n - i > kLongestReading) return false;
    char ascii[kLongestReading];
    int a = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        if (negative) ascii[a++] = '-';
        ++i;
    }
    int digits = 0;
    int fractionDigits = 0;
    quint64 mantissa = 0;
    while (i < n && IsDigit(text[i].unicode())) {
        mantissa = mantissa * 10 + (text[i].unicode() - u'0');
        ascii[a++] = static_cast<char>(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ascii[a++] = '.';
        ++i;
        while (i < n && IsDigit(text[i].unicode())) {
            mantissa = mantissa * 10 + (text[i].unicode() - u'0');
            ascii[a++] = static_cast<char>(text[i++].unicode());
            ++digits;
            ++fractionDigits;
        }
    }
    if (digits == 0) return false;
    bool exponent = false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        exponent = true;
        ascii[a++] = 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ascii[a++] = static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        while (i < n && IsDigit(text[i].unicode())) {
            ascii[a++] = static_cast<char>(text[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0) return false;
    }
    if (i != n) return false;
    if (!exponent && digits <= 15 && QuickReading(mantissa, fractionDigits, negative, value))
        return true;
    float parsed = 0.0f;
    const auto result = std::from_chars(ascii, ascii + a, parsed);
    // A number too large for a single reads as no reading rather than infinity.
    if (result.ec != std::errc() || result.ptr != ascii + a || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

char* WritePointDecimal(char* out, double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMostWrittenDecimals) decimals = kMostWrittenDecimals;
    static constexpr double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    if (decimals <= 7 && std::isfinite(value)) {
        // Quick way: the value scaled to an integer. Taken only when the scaled
        // value is far from a tie, so the rounding is the exact one to_chars
        // would give; near a tie, or for large values, to_chars decides.
        const double scaled = value * kScale[decimals];
        const double magnitude = std::fabs(scaled);
        const double fraction = magnitude - std::floor(magnitude);
        if (magnitude < 2147483648.0 && std::fabs(fraction - 0.5) > 1e-6) {
            qint64 digits = static_cast<qint64>(std::nearbyint(magnitude));
            char text[32];
            int n = 0;
            do {
                text[n++] = static_cast<char>('0' + digits % 10);
                digits /= 10;
            } while (digits > 0 || n <= decimals);
            bool allZero = true;
            for (int i = 0; i < n; ++i) allZero = allZero && text[i] == '0';
            if (scaled < 0 && !allZero) *out++ = '-';
            for (int i = n - 1; i >= 0; --i) {
                *out++ = text[i];
                if (i == decimals && decimals > 0) *out++ = '.';
            }
            return out;
        }
    }
    char* const begin = out;
    const auto result = std::to_chars(out, out + 400, value, std::chars_format::fixed, decimals);
    char* end = result.ec == std::errc() ? result.ptr : out;
    DropNegativeZero(begin, end);
    return end;
}

void AppendPointDecimal(QByteArray& out, double value, int decimals) {
    char buffer[420];
    char* end = WritePointDecimal(buffer, value, decimals);
    out.append(buffer, end - buffer);
}

QString PointDecimalText(double value, int decimals) {
    QByteArray text;
    AppendPointDecimal(text, value, decimals);
    return QString::fromLatin1(text);
}

QString IntervalUnitText(qint16 unitCode) {
    switch (unitCode) {
        case IntervalUnitCode::kSeconds:
            return QStringLiteral(" s");
        case IntervalUnitCode::kMinutes:
            return QStringLiteral(" min");
        case IntervalUnitCode::kHours:
            return QStringLiteral(" h");
        case IntervalUnitCode::kDays:
            return QStringLiteral(" d");
        case IntervalUnitCode::kMonths:
            return QStringLiteral(" m");
        case IntervalUnitCode::kYears:
            return QStringLiteral(" a");
        default:
            return QString();
    }
}

QString IntervalText(qint32 value, qint16 unitCode) {
    const QString unit = IntervalUnitText(unitCode);
    if (unit.isEmpty()) return QString();
    return QString::number(value) + unit;
}

qint64 WholeSeconds(double start, double stop) {
    return std::llround((stop - start) * 86400.0);
}

QString DurationText(qint64 seconds) {
    // Points are kept in the order received, so the last may be earlier than
    // the first; such a span is shown with a minus sign instead of nonsense.
    if (seconds < 0) return QStringLiteral("-") + DurationText(-seconds);
    const qint64 days = seconds / 86400;
    const qint64 rest = seconds - days * 86400;
    const int hours = static_cast<int>(rest / 3600);
    const int minutes = static_cast<int>((rest - hours * 3600) / 60);
    const int secs = static_cast<int>(rest % 60);
    if (days == 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(secs, 2, 10, QLatin1Char('0'));
    }
    return QString::number(days) + QStringLiteral(" d ") +
           UserLocale::Locale().toString(QTime(hours, minutes, secs), UserLocale::LongTimeFormat());
}

QString PlatformDateTimeText(double oleDate) {
    const DateTimeParts p = SplitOleDate(oleDate);
    const QDate date(p.year, p.month, p.day);
    const QTime time(p.hour, p.minute, p.second);
    const QLocale& locale = UserLocale::Locale();
    const bool zeroDate = std::trunc(oleDate) == 0.0;
    const bool midnight = time == QTime(0, 0, 0) && p.msec == 0;
    QString text;
    if (!zeroDate || midnight) text = locale.toString(date, UserLocale::ShortDateFormat());
    if (!midnight) {
        if (!text.isEmpty()) text += u' ';
        text += locale.toString(time, UserLocale::LongTimeFormat());
    }
    return text;
}
