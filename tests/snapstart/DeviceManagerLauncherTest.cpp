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

TEST(DeviceManagerLauncher, NoViewerSetsTheVariablesAndStartsNothing) {
    QTemporaryDir dir;
    EXPECT_FALSE(OpenDeviceManager({dir.path()}));
    EXPECT_EQ(LaunchDeviceManager({dir.path()}).result, LaunchResult::NoViewer);
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

TEST(SnapstartProgram, SaysWhatItLookedForAndFailsWhenNoViewerIsInstalled) {
    QTemporaryDir dir;
    QProcess snapstart;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.path());
    snapstart.setProcessEnvironment(env);
    snapstart.start(QStringLiteral(SNAPSTART_EXE), {});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(snapstart.exitCode(), kExitNoViewer);
    const QString report = QString::fromLocal8Bit(snapstart.readAllStandardError());
    EXPECT_TRUE(report.contains(QStringLiteral("no hardware viewer is installed")))
        << qPrintable(report);
    for (const ViewerCommand& viewer : HardwareViewers())
        EXPECT_TRUE(report.contains(viewer.program)) << qPrintable(viewer.program);
    EXPECT_TRUE(report.contains(dir.path())) << qPrintable(report);
}

TEST(SnapstartProgram, AViewerThatCannotStartIsReported) {
    QTemporaryDir dir;
    // Executable, but no program: the kernel refuses it.
    QFile broken(dir.filePath(QStringLiteral("usbview")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(
        "\x7f"
        "ELF not really");
    broken.close();
    broken.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess snapstart;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.path());
    snapstart.setProcessEnvironment(env);
    snapstart.start(QStringLiteral(SNAPSTART_EXE), {});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitCode(), kExitNotStarted);
    EXPECT_TRUE(QString::fromLocal8Bit(snapstart.readAllStandardError())
                    .contains(dir.filePath(QStringLiteral("usbview"))));
}

TEST(SnapstartProgram, HelpExplainsTheViewersAndExitCodes) {
    QTemporaryDir dir;
    QProcess snapstart;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.path());
    snapstart.setProcessEnvironment(env);
    snapstart.start(QStringLiteral(SNAPSTART_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitCode(), 0);
    const QString usage = QString::fromLocal8Bit(snapstart.readAllStandardOutput());
    EXPECT_TRUE(usage.startsWith(QStringLiteral("Usage: snapstart"))) << qPrintable(usage);
    EXPECT_TRUE(usage.contains(QStringLiteral("usbview")));
    EXPECT_TRUE(usage.contains(QStringLiteral("DEVMGR_SHOW_NONPRESENT_DEVICES=1")));

    snapstart.start(QStringLiteral(SNAPSTART_EXE), {QStringLiteral("--bogus")});
    ASSERT_TRUE(snapstart.waitForFinished(10000));
    EXPECT_EQ(snapstart.exitCode(), kExitUsage);
    EXPECT_TRUE(snapstart.readAllStandardError().contains("--bogus"));
}
