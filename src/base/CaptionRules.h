#pragma once
// How a window's design-time ids become texts and which font suits the
// user's language. Windows are designed with string ids in place of their
// texts; ApplyCaptions reads the ids with these rules.

#include <QLocale>
#include <QString>
#include <optional>

// The id in a Tag, a menu caption or a tool tip that must be a whole number
// ("5029"); nothing for "", "12abc" or a number outside 16 bits.
std::optional<int> WholeNumberId(const QString& text);

// The leading number of a text ("12abc" -> 12, "abc" -> 0), as a 16-bit value.
int LeadingNumberId(const QString& text);

// The font for the user's language: a few East Asian locales get a font of
// their script at 9 pt; every other keeps the control's own font at 8 pt.
struct FontRule {
    int charset = 1;
    QString family;  // empty: keep the control's own family
    int pointSize = 8;
};
FontRule FontRuleForLocale(int localeId);

// The Windows locale identifier of a locale (1053 Swedish, 1033 English,
// 1042 Korean, 1028 Chinese (Taiwan), 1041 Japanese, 2052 Chinese (PRC)).
int WindowsLocaleId(const QLocale& locale);
