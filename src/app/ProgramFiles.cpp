#include "app/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString Existing(const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    return QFileInfo::exists(path) ? path : QString();
}
}  // namespace

HelpFiles FindHelpFiles(const QString& folder) {
    return {Existing(folder, QStringLiteral("Tr58link.chm")),
            Existing(folder, QStringLiteral("TR58LINK.HLP"))};
}

QString LogoOverride(const QString& folder) {
    return Existing(folder, QStringLiteral("TR58Link.bmp"));
}

bool RemoveTraceFile(const QString& folder, QString& error) {
    QFile trace(QDir(folder).filePath(QStringLiteral("log.txt")));
    if (!trace.exists()) return true;
    if (trace.remove()) return true;
    error = QStringLiteral("%1 %2").arg(static_cast<int>(trace.error())).arg(trace.errorString());
    return false;
}
