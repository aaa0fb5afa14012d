#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "snapstart/DeviceManagerLauncher.h"

using namespace snapstart;

namespace {

// A stand-in viewer: a script that writes the two variables it was given.
void AddViewer(const QString& folder, const QString& name, const QString& out) {
    QFile script(folder + QLatin1Char('/') + name);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"%1 $DEVMGR_SHOW_NONPRESENT_DEVICES "
                                "$DEVMGR_SHOW_DETAILS\" > '%2'\n")
                     .arg(name, out)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString WaitForFile(const QString& path, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QString text = QString::fromUtf8(file.readAll()).trimmed();
            if (!text.isEmpty()) return text;
        }
        QThread::msleep(50);
    }
    return QString();
}

}  // namespace

TEST(DeviceManagerLauncher, FirstViewerOfTheListIsChosen) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    AddViewer(dir.path(), QStringLiteral("usbview"), out);
    AddViewer(dir.path(), QStringLiteral("hardinfo"), out);
    const auto viewer = FindHardwareViewer({dir.path()});
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->program, dir.filePath(QStringLiteral("hardinfo")));
    EXPECT_EQ(HardwareViewers().first().program, QStringLiteral("kinfocenter"));
}

TEST(DeviceManagerLauncher, FilesThatCannotRunAreNoViewers) {
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("usbview")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(FindHardwareViewer({dir.path()}));
}

TEST(DeviceManagerLauncher, ViewerSeesBothVariablesSetToOne) {
    qunsetenv("DEVMGR_SHOW_NONPRESENT_DEVICES");
    qunsetenv("DEVMGR_SHOW_DETAILS");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    AddViewer(dir.path(), QStringLiteral("usbview"), out);
    ASSERT_TRUE(OpenDeviceManager({dir.path()}));
    EXPECT_EQ(WaitForFile(out), QStringLiteral("usbview 1 1"));
}

TEST(DeviceManagerLauncher, NoViewerIsNotAnError) {
    QTemporaryDir dir;
    EXPECT_FALSE(OpenDeviceManager({dir.path()}));
    EXPECT_EQ(qgetenv("DEVMGR_SHOW_NONPRESENT_DEVICES"), QByteArray("1"));
    EXPECT_EQ(qgetenv("DEVMGR_SHOW_DETAILS"), QByteArray("1"));
}

TEST(SnapstartProgram, StartsTheViewerAndEndsAtOnce) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    AddViewer(dir.path(), QStringLiteral("lshw-gtk"), out);
    QProcess snapstart;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.path());
    env.remove(QStringLiteral("DEVMGR_SHOW_NONPRESENT_DEVICES"));
    env.remove(QStringLiteral("DEVMGR_SHOW_DETAILS"));
    snapstart.setProcessEnvironment(env);
    snapstart.start(QStringLiteral(SNAPSTART_EXE), {});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitCode(), 0);
    EXPECT_EQ(WaitForFile(out), QStringLiteral("lshw-gtk 1 1"));
}

TEST(SnapstartProgram, EndsQuietlyWhenNoViewerIsInstalled) {
    QTemporaryDir dir;
    QProcess snapstart;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.path());
    snapstart.setProcessEnvironment(env);
    snapstart.start(QStringLiteral(SNAPSTART_EXE), {});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(snapstart.exitCode(), 0);
    EXPECT_TRUE(snapstart.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(snapstart.readAllStandardError().isEmpty());
}
