#pragma once
// The main program's command line and files dropped on its window.

#include <QString>
#include <QStringList>

struct CommandLineAction {
    enum class Kind { None, Open, Print };
    Kind kind = Kind::None;
    QString path;
};

// "/L: file" opens the file; "/P: file" opens it, prints it and ends the
// program. The prefix is compared upper-cased; the file name starts at the
// fifth character (one blank is expected after the colon). Anything else is
// ignored.
CommandLineAction ParseCommandLine(const QString& commandLine);

// The program's arguments (after its name) as the one command-line text the program acts on:
// joined by blanks and trimmed. A desktop launcher (tr58link.desktop: "tr58link /L: %f") passes
// "/L:" and the file name as two arguments, which join to "/L: file".
QString CommandLineFromArguments(const QStringList& arguments);

// Dropped files are taken only when every one of them is a .t58 file
// (compared upper-cased on the last four characters).
bool AcceptsDroppedFiles(const QStringList& fileNames);
