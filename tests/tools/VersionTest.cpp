// "tr58 --version": the tool's version is the project's, and --help tells of the option.
#include <gtest/gtest.h>

#include "support/ProjectVersion.h"
#include "support/SimProcess.h"

TEST(ToolVersion, VersionPrintsTheProjectVersionAndSucceeds) {
    const QString version = ProjectVersionFromCMake();
    ASSERT_FALSE(version.isEmpty());
    const ToolRun run = RunTool({"--version"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, QStringLiteral("tr58 %1\n").arg(version));
    EXPECT_TRUE(run.err.isEmpty()) << qPrintable(run.err);
}

TEST(ToolVersion, VersionNeedsNoConnectionAndWinsOverACommand) {
    // As --help does: no instrument is asked, the version is printed.
    const ToolRun run = RunTool({"--host", "127.0.0.1:1", "dir", "--version"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.startsWith(QLatin1String("tr58 "))) << qPrintable(run.out);
}

TEST(ToolVersion, HelpNamesTheVersionOption) {
    const ToolRun run = RunTool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QLatin1String("tr58 --help | --version"))) << qPrintable(run.out);
}
