#pragma once
// The program's numbered string table (the Swedish build). Every user-visible
// caption and message of the main program is read from here by id.

#include <QList>
#include <QString>

class StringTable {
public:
    // The text of id; an empty text when the id is not in the table.
    static QString Text(int id);
    static bool Contains(int id);
    // Every id of this build, ascending.
    static QList<int> Ids();
    // The language of this build's table, as Qt's catalogues name it ("sv").
    static QString Language();
};
