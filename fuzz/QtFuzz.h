// Shared helpers of the fuzz targets that run the program's Qt-based core: one application object
// per process (some of the core asks for it), a private scratch folder for the targets that read
// files, and the check that turns a broken promise into a crash libFuzzer reports.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

// A broken promise: says which check failed, then crashes for libFuzzer to report.
inline void Check(bool condition, const char* file = __builtin_FILE(),
                  int line = __builtin_LINE()) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s:%d\n", file, line);
    std::abort();
}

inline void StartQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QCoreApplication> app = [] {
        // Settings and journals of the run stay in the scratch folder, never the user's.
        qputenv("XDG_CONFIG_HOME", QDir::tempPath().toUtf8() + "/tr58-fuzz-config");
        qputenv("XDG_DATA_HOME", QDir::tempPath().toUtf8() + "/tr58-fuzz-data");
        return std::make_unique<QCoreApplication>(argc, argv);
    }();
    (void)app;
}

// A folder of this process's own, removed when the process ends.
inline const QString& Scratch() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tr58-fuzz-XXXXXX"));
    static const QString path = dir.path();
    Check(dir.isValid());
    return path;
}

// Writes the bytes as the file name in the scratch folder and returns its path.
inline QString WriteScratchFile(const QString& name, const uint8_t* data, size_t size) {
    const QString path = Scratch() + QLatin1Char('/') + name;
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Check(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
          static_cast<qint64>(size));
    file.close();
    return path;
}

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Takes bytes off the front of the input.
struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    QByteArray Rest() {
        QByteArray rest = Bytes(data, size);
        data += size;
        size = 0;
        return rest;
    }
};

}  // namespace fuzz
