#include "base/ProgramLanguage.h"

#include <QLocale>
#include <atomic>
#include <cstdio>

#include "base/SettingsStore.h"
#include "base/StringTable.h"

namespace {

const QString kSwedish = QStringLiteral("sv");
const QString kEnglish = QStringLiteral("en");

// "sv", "sv-SE", "sv_FI": the language part of a BCP 47 or POSIX name.
bool IsSwedish(const QString& uiLanguage) {
    const QString language =
        uiLanguage.trimmed().section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    return language.compare(kSwedish, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString LanguageOverride(const QString& text) {
    const QString value = text.trimmed().toLower();
    return value == kSwedish || value == kEnglish ? value : QString();
}

QString ChooseLanguage(const QStringList& uiLanguages, const QString& envOverride,
                       const QString& storedSetting) {
    for (const QString& given : {envOverride, storedSetting}) {
        const QString language = LanguageOverride(given);
        if (!language.isEmpty()) return language;
    }
    return !uiLanguages.isEmpty() && IsSwedish(uiLanguages.first()) ? kSwedish : kEnglish;
}

QString SelectProgramLanguage(const SettingsStore* store) {
    const QString variable = qEnvironmentVariable(kLanguageVariable);
    if (!variable.isEmpty() && LanguageOverride(variable).isEmpty()) {
        static std::atomic<bool> said{false};
        if (!said.exchange(true))
            std::fprintf(stderr, "%s=\"%s\" is not a language of this program (sv, en); ignored.\n",
                         kLanguageVariable, variable.toLocal8Bit().constData());
    }
    const QString stored = store ? store->Read(kLanguageSetting) : QString();
    const QString language = ChooseLanguage(QLocale::system().uiLanguages(), variable, stored);
    StringTable::SetLanguage(language);
    return language;
}
