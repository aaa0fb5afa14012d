#pragma once
// The user's number and date conventions, read once at start-up. The screen
// and the exports follow them; files and the instrument always use ".".

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <optional>

// The character encoding of the text files written for the user (the
// exports). The .t58 file and the instrument keep Windows-1252 whatever it is.
enum class UserTextEncoding { Utf8, Windows1252 };

class UserLocale {
public:
    // Reads the separators and formats from the given locale (the system's at
    // start-up; tests pass a fixed one), and the text encoding from the
    // environment's locale names unless one is given.
    static void Init(const QLocale& locale = QLocale::system(),
                     std::optional<UserTextEncoding> encoding = std::nullopt);

    static const QLocale& Locale();
    // The user's decimal separator ("." when the locale gives none).
    static QString DecimalSeparator();
    // True when "100.01" does not read as the number 100.01 under the locale.
    static bool PointNotDecimal();
    // Separator between CSV fields: a stored "ListSeparator" setting wins;
    // otherwise ";" where the decimal separator is "," and "," elsewhere.
    static QString ListSeparator();
    static void SetListSeparatorOverride(const QString& separator);
    // "Short Date" and "Long Time" formats of the locale.
    static QString ShortDateFormat();
    static QString LongTimeFormat();

    // The encoding a locale name stands for ("sv_SE.UTF-8", "C.utf8",
    // "sv_SE.ISO-8859-1", "C"): UTF-8 when its code set says so; a legacy
    // code set, or none, keeps Windows-1252, the 8-bit set Western users'
    // programs read.
    static UserTextEncoding EncodingOfLocaleName(const QString& name);
    // The user's text encoding: the one the first set of LC_ALL, LC_CTYPE and
    // LANG names (as the C library chooses). Windows sets none of them and
    // keeps Windows-1252, the code page of its Western installations.
    static UserTextEncoding TextEncoding();
    // Text in the user's encoding; in Windows-1252 a character it cannot hold
    // becomes "?".
    static QByteArray EncodeText(const QString& text);
};
