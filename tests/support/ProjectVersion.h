#pragma once
// The project version as the top-level CMakeLists.txt sets it ("project(TR58Link VERSION x.y"),
// read from the source tree: what the programs' --version must print. Needs TR58_SOURCE_DIR.

#include <QFile>
#include <QRegularExpression>
#include <QString>

inline QString ProjectVersionFromCMake() {
    QFile file(QStringLiteral(TR58_SOURCE_DIR "/CMakeLists.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression project(
        QStringLiteral(R"(project\(TR58Link\s+VERSION\s+([0-9.]+))"));
    return project.match(QString::fromUtf8(file.readAll())).captured(1);
}
