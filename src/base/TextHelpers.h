#pragma once
// Text and number helpers shared by the instrument link, the parsers and the
// documents. Instrument replies are CR LF lines of TAB-separated fields, sent
// as Windows-1252 bytes; these helpers take them apart and clean them.

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The next TAB-separated field of text, removed from it. A leading TAB is
// skipped; the last field of a line ends at CR LF, after which text is empty;
// with neither TAB nor CR LF both the field and the text become empty.
QString TakeField(QString& text);

// The text up to and including the first CR LF, removed from text; tabCount is
// the number of TABs in that line. Without a CR LF the result and the text
// become empty and tabCount is left unchanged.
QString TakeLine(QString& text, int& tabCount);

// The leading decimal digits of text, blanks around it ignored, as BASIC's Val
// reads them ("02" -> 2, "4x" -> 4, "x4" -> 0): the interval unit code of a
// recorded-data header or a .t58 file. Digits past the int range give the
// largest int.
int LeadingDecimal(QStringView text);

// The 16-bit integer whose hexadecimal digits the text holds ("0A" -> 10).
qint16 HexToInt(const QString& text);

// Number pattern for n decimals: "0", or "0" + decimal separator + n zeros.
QString DecimalsPattern(int decimals);

// A value written with the user's decimal separator and the given decimals
// (what DecimalsPattern describes), e.g. 3,14 under a comma locale.
QString FormatDecimals(double value, int decimals);

// Short date, one blank, long time, in the user's locale.
QString FormatDateTimeLocal(const QDateTime& dateTime);

// Instrument bytes to text: Windows-1252, with the five codes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) kept as the character of the
// same code, and 0xA0 read as a blank.
QString DecodeInstrumentBytes(const QByteArray& bytes);

// Plain Windows-1252 text (files written by Windows programs): as
// DecodeInstrumentBytes, but 0xA0 stays a no-break space.
QString DecodeWindows1252(const QByteArray& bytes);

// Text to instrument bytes (Windows-1252; characters it cannot hold become '?').
// The inverse of DecodeInstrumentBytes for every byte but 0xA0.
QByteArray EncodeInstrumentText(const QString& text);
// True when EncodeInstrumentText keeps every character of text (none becomes '?').
bool InstrumentTextHolds(const QString& text);

// Replaces the instrument's symbol codes by readable text (0x81 "[D]", 0x8D "2",
// 0x8F "3", 0x90 "[I]", 0x9D "[II]") and removes control characters below 9
// and CTRL-Z.
QString CleanInstrumentText(const QString& text);

// CleanInstrumentText, then every character below 9 and each of : ; / \ becomes
// "_", so the text can be used as a file name.
QString SafeFileNameText(const QString& text);

// The instrument's two-digit years: 00..38 are 2000..2038, 39..99 are 1939..1999.
int ExpandTwoDigitYear(int yy);

// OLE dates: days since 1899-12-30 with the time of day as the fraction.
double ToOleDate(const QDateTime& dateTime);
QDateTime FromOleDate(double oleDate);
