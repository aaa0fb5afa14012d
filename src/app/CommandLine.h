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

// The program's arguments (after its name) as the one command-line text the program acts on.
// One argument that is not in the "/L:" or "/P:" form is a file to open, as a file manager or
// the desktop's launcher (tr58link.desktop: "tr58link %f") passes it: "/L: file". Otherwise the
// arguments are joined by blanks and trimmed ("/L:" and a file name as two words join to
// "/L: file").
QString CommandLineFromArguments(const QStringList& arguments);

// Dropped files are taken only when every one of them is a .t58 file
// (compared upper-cased on the last four characters).
bool AcceptsDroppedFiles(const QStringList& fileNames);
