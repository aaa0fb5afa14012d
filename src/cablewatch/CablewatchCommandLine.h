#pragma once
// Cablewatch's command line. The words the program has always taken: "/W:"
// followed by the owner window's handle makes Cablewatch a port picker for
// that owner; any other word is the port to preselect (the last one wins).
// Options of this build start with "--" and are taken out first:
//   --sysfs=DIR          read the device tree from DIR instead of /sys
//   --registry=DIR       show a registry-shaped tree saved in DIR
//   --dump-registry=DIR  write the current device tree to DIR and end
//   --help               print the usage, the port-picker reply included
// CABLEWATCH_SYSFS and CABLEWATCH_REGISTRY in the environment do the same as
// the first two options; the command line wins.

#include <QString>
#include <QStringList>

namespace cablewatch {

struct CablewatchOptions {
    qint64 ownerHandle = 0;  // 0: not a port picker
    QString portWord;        // the port to preselect
    QString sysfsRoot;       // empty: the environment's, else /sys
    QString registryDir;     // non-empty: read this saved tree instead
    QString dumpDir;
    bool help = false;
    bool IsPortPicker() const { return ownerHandle != 0; }
};

// args: the program's arguments without the program name. The words are
// joined and split again at blanks, each trimmed, as one command-line text.
CablewatchOptions ParseCablewatchCommandLine(const QStringList& args);

// The owner handle given after "/W:": a decimal number (with an optional
// sign) or 0x followed by hexadecimal digits; digits stop at the first other
// character. Anything unreadable is 0.
qint64 ParseOwnerHandle(const QString& text);

// Fills in the roots from CABLEWATCH_SYSFS / CABLEWATCH_REGISTRY where the
// command line gave none.
void ApplyEnvironment(CablewatchOptions& options);

// The text printed by --help.
QString CablewatchUsage();

}  // namespace cablewatch
