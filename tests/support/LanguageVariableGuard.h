#pragma once
// Tests that set TR58_LANG: the variable as it was, and the Swedish table the other tests read,
// once the test ends.

#include <QByteArray>
#include <QString>

#include "base/ProgramLanguage.h"
#include "base/StringTable.h"

class LanguageVariableGuard {
public:
    LanguageVariableGuard()
        : had_(qEnvironmentVariableIsSet(kLanguageVariable)), saved_(qgetenv(kLanguageVariable)) {}
    ~LanguageVariableGuard() {
        if (had_)
            qputenv(kLanguageVariable, saved_);
        else
            qunsetenv(kLanguageVariable);
        StringTable::SetLanguage(QStringLiteral("sv"));
    }
    LanguageVariableGuard(const LanguageVariableGuard&) = delete;
    LanguageVariableGuard& operator=(const LanguageVariableGuard&) = delete;

private:
    bool had_;
    QByteArray saved_;
};
