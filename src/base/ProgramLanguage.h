#pragma once
// The language the program speaks: Swedish or English, chosen once at
// start-up for the string table (and with it Qt's own dialogs, Cablewatch's
// window and the tr58 tool's messages). The instrument's texts, the .t58 files
// and the exported columns do not depend on it.
//
// The choice, first match wins:
//   1. the environment variable TR58_LANG ("sv" or "en");
//   2. the settings store's value "Language" ("sv" or "en");
//   3. the user's interface language: Swedish (sv, sv-SE, sv-FI, ...) gives
//      Swedish, any other English.
// A value that is neither "sv" nor "en" is passed over.

#include <QString>
#include <QStringList>

class SettingsStore;

inline constexpr char kLanguageVariable[] = "TR58_LANG";
inline const QString kLanguageSetting = QStringLiteral("Language");

// "sv" or "en" for a usable override ("sv", "EN", " en "); empty for anything
// else, an empty text included.
QString LanguageOverride(const QString& text);

// The rule above, without looking at the system: uiLanguages as
// QLocale::uiLanguages() lists them (first the most preferred), the value of
// TR58_LANG and the value in the settings store.
QString ChooseLanguage(const QStringList& uiLanguages, const QString& envOverride,
                       const QString& storedSetting);

// Chooses from TR58_LANG, store's value (none without a store) and
// QLocale::system().uiLanguages(), makes it the string table's language and
// returns it. A TR58_LANG that is set but unusable is said on standard error,
// once per process.
QString SelectProgramLanguage(const SettingsStore* store);
