#include <gtest/gtest.h>

#include "cablewatch/CablewatchCommandLine.h"

using namespace cablewatch;

TEST(CablewatchCommandLine, OwnerHandleAndPortWord) {
    const auto options = ParseCablewatchCommandLine({"/W:132456", "COM7"});
    EXPECT_EQ(options.ownerHandle, 132456);
    EXPECT_EQ(options.portWord, QStringLiteral("COM7"));
    EXPECT_TRUE(options.IsPortPicker());
}

TEST(CablewatchCommandLine, WordsAreSplitAtBlanksAndTheLastPortWins) {
    const auto options = ParseCablewatchCommandLine({" COM3\tCOM4 ", "/w:0x1F", "  ", "COM12"});
    EXPECT_EQ(options.ownerHandle, 0x1F);
    EXPECT_EQ(options.portWord, QStringLiteral("COM12"));
}

TEST(CablewatchCommandLine, NoWordsMeansNoOwnerAndNoPort) {
    const auto options = ParseCablewatchCommandLine({});
    EXPECT_EQ(options.ownerHandle, 0);
    EXPECT_TRUE(options.portWord.isEmpty());
    EXPECT_FALSE(options.IsPortPicker());
}

TEST(CablewatchCommandLine, UnreadableHandleIsNoOwner) {
    EXPECT_EQ(ParseCablewatchCommandLine({"/W:abc"}).ownerHandle, 0);
    EXPECT_EQ(ParseCablewatchCommandLine({"/W:"}).ownerHandle, 0);
    // "/W:" words are never the port word.
    EXPECT_TRUE(ParseCablewatchCommandLine({"/W:abc"}).portWord.isEmpty());
    EXPECT_EQ(ParseOwnerHandle(QStringLiteral("123abc")), 123);
    EXPECT_EQ(ParseOwnerHandle(QStringLiteral("-42")), -42);
    EXPECT_EQ(ParseOwnerHandle(QStringLiteral("99999999999999999999999")), 0);
    EXPECT_EQ(ParseOwnerHandle(QStringLiteral("0x7fffffffffffffff")), INT64_MAX);
}

TEST(CablewatchCommandLine, OptionsAreTakenOutBeforeTheWords) {
    const auto options =
        ParseCablewatchCommandLine({"--sysfs=/tmp/fake sys", "COM2", "--registry=/tmp/reg",
                                    "--dump-registry=/tmp/out", "--help"});
    EXPECT_EQ(options.sysfsRoot, QStringLiteral("/tmp/fake sys"));
    EXPECT_EQ(options.registryDir, QStringLiteral("/tmp/reg"));
    EXPECT_EQ(options.dumpDir, QStringLiteral("/tmp/out"));
    EXPECT_TRUE(options.help);
    EXPECT_EQ(options.portWord, QStringLiteral("COM2"));
}

TEST(CablewatchCommandLine, EnvironmentFillsOnlyWhatTheCommandLineLeftOpen) {
    qputenv("CABLEWATCH_SYSFS", "/env/sys");
    qputenv("CABLEWATCH_REGISTRY", "/env/reg");
    auto options = ParseCablewatchCommandLine({"--sysfs=/cmd/sys"});
    ApplyEnvironment(options);
    EXPECT_EQ(options.sysfsRoot, QStringLiteral("/cmd/sys"));
    EXPECT_EQ(options.registryDir, QStringLiteral("/env/reg"));
    qunsetenv("CABLEWATCH_SYSFS");
    qunsetenv("CABLEWATCH_REGISTRY");
}

TEST(CablewatchCommandLine, UsageDocumentsTheReplyRecord) {
    const QString usage = CablewatchUsage();
    EXPECT_TRUE(usage.contains(QStringLiteral("cablewatch-owner-<handle>")));
    EXPECT_TRUE(usage.contains(QStringLiteral("00 00 00 00 05 00 00 00 43 4F 4D 37 00")));
}
