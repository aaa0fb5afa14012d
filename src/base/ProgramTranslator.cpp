#include "base/ProgramTranslator.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <cstring>

#include "base/StringIds.h"
#include "base/StringTable.h"

namespace {

// The words Qt puts on standard buttons (context "QPlatformTheme"), and the
// string table's text for each.
struct ButtonText {
    const char* source;
    Str::Id id;
};
constexpr ButtonText kButtonTexts[] = {
    {"OK", Str::kButtonOk},  {"Cancel", Str::kButtonCancel}, {"&Yes", Str::kButtonYes},
    {"&No", Str::kButtonNo}, {"Close", Str::kButtonClose},   {"Save", Str::kTipSave},
    {"Open", Str::kTipOpen},
};

// The object name of every translator InstallProgramTranslations installs.
const QString kTranslatorName = QStringLiteral("tr58-translation");

}  // namespace

QString ProgramTranslator::translate(const char* context, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const {
    if (!context || !sourceText || std::strcmp(context, "QPlatformTheme") != 0) return {};
    for (const ButtonText& button : kButtonTexts)
        if (std::strcmp(sourceText, button.source) == 0) return StringTable::Text(button.id);
    return {};
}

int InstallProgramTranslations(QCoreApplication& app, const QString& language,
                               const QString& folder) {
    // The catalogues of an earlier call go first: one language at a time.
    for (QTranslator* earlier :
         app.findChildren<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(earlier);
        delete earlier;
    }
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    int found = 0;
    // qtbase_<language> where Qt 6 ships one, else the older whole-of-Qt file.
    for (const char* catalogue : {"qt_", "qtbase_"}) {
        auto* translator = new QTranslator(&app);
        translator->setObjectName(kTranslatorName);
        if (translator->load(QString::fromLatin1(catalogue) + language, from)) {
            QCoreApplication::installTranslator(translator);
            ++found;
        } else {
            delete translator;
        }
    }
    // Installed last, asked first.
    auto* own = new ProgramTranslator(&app);
    own->setObjectName(kTranslatorName);
    QCoreApplication::installTranslator(own);
    return found;
}
