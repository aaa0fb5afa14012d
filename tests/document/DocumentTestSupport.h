#pragma once
// Documents for the tests, built through the same line routines the parser and
// the .t58 reader use, and a scope that sets the user's locale.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <initializer_list>

#include "base/UserLocale.h"
#include "document/Document.h"

// Sets the user's locale (and text encoding: UTF-8, as today's desktops have
// it) for one test and puts the system's back afterwards.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale, const QString& listSeparator = QString(),
                         UserTextEncoding encoding = UserTextEncoding::Utf8) {
        UserLocale::Init(locale, encoding);
        UserLocale::SetListSeparatorOverride(listSeparator);
    }
    ~LocaleScope() {
        UserLocale::SetListSeparatorOverride(QString());
        UserLocale::Init(QLocale::c());
    }
};

inline QLocale SwedishLocale() {
    return QLocale(QLocale::Swedish, QLocale::Sweden);
}
inline QLocale EnglishLocale() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

// Fills document from a names line, a units line and data lines written as
// the instrument writes them (fields separated by TABs, no line ends).
inline bool FillDocument(Document& document, const QStringList& names, const QStringList& units,
                         std::initializer_list<QString> lines) {
    document.SetQuantityCount(static_cast<int>(names.size()));
    document.Property(u'\t' + names.join(u'\t') + QStringLiteral("\r\n"));
    document.Unit(u'\t' + units.join(u'\t') + QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (!document.MeasToStruct(line + QStringLiteral("\r\n"))) return false;
    }
    document.HeaderPending = false;
    return true;
}
