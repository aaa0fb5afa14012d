// Where a program finds its branding and help files: beside itself in the build folder,
// <prefix>/share/tr58link when installed as <prefix>/bin/<program>.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/Branding.h"
#include "base/ProgramDataFolder.h"

TEST(ProgramDataFolder, AnInstalledProgramUsesTheShareFolderOfItsPrefix) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(prefix.path()).mkpath("share/tr58link"));
    EXPECT_EQ(ProgramDataFolder(prefix.filePath("bin")), prefix.filePath("share/tr58link"));

    // The branding file an administrator puts there renames the program.
    QFile cfg(prefix.filePath("share/tr58link/tr58link.cfg"));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("[BRANDING]\r\nAPPNAME=Lab Logger\r\n");
    cfg.close();
    EXPECT_EQ(ApplicationTitle(ReadBranding(ProgramDataFolder(prefix.filePath("bin")))),
              QStringLiteral("Lab Logger"));
}

TEST(ProgramDataFolder, AProgramInItsBuildFolderUsesItsOwnFolder) {
    QTemporaryDir build;
    ASSERT_TRUE(build.isValid());
    ASSERT_TRUE(QDir(build.path()).mkpath("tools/tr58"));
    EXPECT_EQ(ProgramDataFolder(build.path()), build.path());
    EXPECT_EQ(ProgramDataFolder(build.filePath("tools/tr58")), build.filePath("tools/tr58"));
    // A share folder of another program's data is not ours.
    ASSERT_TRUE(QDir(build.path()).mkpath("share/other"));
    ASSERT_TRUE(QDir(build.path()).mkpath("bin"));
    EXPECT_EQ(ProgramDataFolder(build.filePath("bin")), build.filePath("bin"));
}
