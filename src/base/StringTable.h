#pragma once
// The program's numbered string table. Every user-visible caption and message
// of the main program is read from here by id, in the language chosen at
// start-up (base/ProgramLanguage.h): Swedish, the table the program was
// written with, or English. Until something chooses, the table is Swedish.

#include <QList>
#include <QString>
#include <QStringList>

class StringTable {
public:
    // The text of id in the chosen language; an empty text when the id is not
    // in the table.
    static QString Text(int id);
    static bool Contains(int id);
    // Every id of the chosen language's table, ascending.
    static QList<int> Ids();
    // The chosen language, as Qt's catalogues name it ("sv", "en").
    static QString Language();
    // Makes language the one Text reads; false (and no change) for a language
    // without a table.
    static bool SetLanguage(const QString& language);

    // The languages with a table, the first being the one used until chosen.
    static QStringList Languages();
    // The text of id / every id in the table of language, whichever is chosen.
    static QString Text(const QString& language, int id);
    static QList<int> Ids(const QString& language);
};
