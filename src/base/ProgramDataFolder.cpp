#include "base/ProgramDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramDataFolder(const QString& programFolder) {
    const QString installed =
        QDir::cleanPath(QDir(programFolder).filePath(QLatin1String(kDataFolderFromPrograms)));
    return QFileInfo(installed).isDir() ? installed : programFolder;
}

QString ProgramDataFolder() {
    return ProgramDataFolder(QCoreApplication::applicationDirPath());
}
