#pragma once
// Qt's own texts (file dialogs, standard buttons, context menus of text
// boxes) in the program's language, so that the Swedish program shows no
// English "Yes / No / Cancel" and the English one no Swedish "Ja / Nej". Qt's
// translation catalogues for the language come from the system (Debian's
// qt6-translations-l10n); the standard buttons of every message box and button
// box take their words from the string table, since those catalogues do not
// hold them for every language.

#include <QString>
#include <QTranslator>

class QCoreApplication;

class ProgramTranslator : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;
    // The standard button texts Qt asks for ("&Yes", "Cancel", ...) from the
    // string table; every other text is left to the next translator.
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }
};

// Installs Qt's catalogues for language ("sv", "en"; see StringTable::Language)
// from folder (by default Qt's translations folder) and then the program's own
// translator, which is asked first; those of an earlier call are removed.
// Returns how many Qt catalogues were found.
int InstallProgramTranslations(QCoreApplication& app, const QString& language,
                               const QString& folder = {});
