#pragma once
// Files the program looks for in its own folder: the help files, the logo
// picture, and the trace file of earlier versions, which is removed at start.

#include <QString>

struct HelpFiles {
    QString chm;  // full path of "Tr58link.chm" when it exists
    QString hlp;  // full path of "TR58LINK.HLP" when it exists
    bool Any() const { return !chm.isEmpty() || !hlp.isEmpty(); }
    // The file help opens: the compiled HTML help when there is one.
    QString Preferred() const { return chm.isEmpty() ? hlp : chm; }
};

HelpFiles FindHelpFiles(const QString& folder);

// Topics of the compiled help.
inline const char* kHelpContentsTopic = "/html/tr580qsz.htm";
inline const char* kHelpQuickTopic = "/html/tr5871id.htm";

// "TR58Link.bmp" when it exists, else empty: it replaces the built-in logo.
QString LogoOverride(const QString& folder);

// Removes "log.txt" from folder. A file that is not there is fine; any other
// failure returns false with the reason in error.
bool RemoveTraceFile(const QString& folder, QString& error);
