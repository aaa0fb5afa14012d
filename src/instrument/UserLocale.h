#pragma once
// The user's number and date conventions, read once at start-up. The screen
// and the exports follow them; files and the instrument always use ".".

#include <QLocale>
#include <QString>

class UserLocale {
public:
    // Reads the separators and formats from the given locale (the system's at
    // start-up; tests pass a fixed one).
    static void Init(const QLocale& locale = QLocale::system());

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
};
