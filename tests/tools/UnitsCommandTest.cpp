// tr58 units and tr58 units set against tr58sim over real TCP and a real
// pseudo-terminal: the probe's quantities, and the units the instrument shows.
#include <gtest/gtest.h>

#include "support/SimProcess.h"

namespace {

const QString kHeader = QStringLiteral("number\tname\tshown\tunit\tunits");

// The simulated probe as it starts: T and RH shown in their first units.
const QStringList kDefaultTable = {
    kHeader,
    QStringLiteral("1\tT\tyes\t\u00B0C\t\u00B0C, \u00B0F"),
    QStringLiteral("2\tRH\tyes\t%RH\t%RH"),
    QStringLiteral("3\tTd\tno\t\t\u00B0C, \u00B0F"),
    QStringLiteral("4\ta\tno\t\tg/m3, gr/ft3"),
    QStringLiteral("5\tx\tno\t\tg/kg, gr/lb"),
    QStringLiteral("6\tTw\tno\t\t\u00B0C, \u00B0F"),
};

QStringList Table(const QStringList& connection) {
    const ToolRun run = RunTool(connection + QStringList{"units"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    return run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Reads the table, shows T in °F and RH, and reads it again.
void ShowFahrenheit(const QStringList& connection) {
    EXPECT_EQ(Table(connection), kDefaultTable);
    const ToolRun set = RunTool(connection + QStringList{"units", "set", "T=\u00B0F", "RH=%RH"});
    EXPECT_EQ(set.exitCode, 0) << qPrintable(set.err);
    EXPECT_TRUE(set.out.isEmpty());
    QStringList expected = kDefaultTable;
    expected[1] = QStringLiteral("1\tT\tyes\t\u00B0F\t\u00B0C, \u00B0F");
    EXPECT_EQ(Table(connection), expected);
}

}  // namespace

TEST(UnitsCommand, ShowsAndSetsUnitsOverTcp) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    ShowFahrenheit({"--host", sim.TcpAddress()});
}

TEST(UnitsCommand, ShowsAndSetsUnitsOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    ShowFahrenheit({"--device", sim.PtyPath()});
}

TEST(UnitsCommand, TypedSuperscriptsAndHidingTheRest) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    const QStringList host{"--host", sim.TcpAddress()};
    // "³" as the user types it matches the instrument's own symbol code.
    const ToolRun set = RunTool(host + QStringList{"units", "set", "a=g/m\u00B3", "Td=\u00B0C"});
    ASSERT_EQ(set.exitCode, 0) << qPrintable(set.err);
    const QStringList table = Table(host);
    ASSERT_EQ(table.size(), 7);
    EXPECT_EQ(table.at(1), QStringLiteral("1\tT\tno\t\t\u00B0C, \u00B0F")) << "not named: hidden";
    EXPECT_EQ(table.at(2), QStringLiteral("2\tRH\tno\t\t%RH"));
    EXPECT_EQ(table.at(3), QStringLiteral("3\tTd\tyes\t\u00B0C\t\u00B0C, \u00B0F"));
    EXPECT_EQ(table.at(4), QStringLiteral("4\ta\tyes\tg/m3\tg/m3, gr/ft3"));
}

TEST(UnitsCommand, UsageErrorsSendNothing) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    const QStringList set{"--host", sim.TcpAddress(), "units", "set"};

    // A good first word and a bad second one: had anything been sent, T
    // would now be shown in °F.
    ToolRun run = RunTool(set + QStringList{"T=\u00B0F", "Bogus=K"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("unknown quantity \"Bogus\"; the probe has: T, RH, Td, a, x, Tw")))
        << qPrintable(run.err);
    run = RunTool(set + QStringList{"T=\u00B0F", "RH=K"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("unknown unit \"K\" for RH; it can be shown in: %RH")))
        << qPrintable(run.err);
    run = RunTool(set + QStringList{"T=\u00B0F", "T=\u00B0C"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("\"T\" is named twice"))) << qPrintable(run.err);
    // Found before the instrument is asked anything.
    run = RunTool(set + QStringList{"T=\u00B0F", "RH=%RH", "Td=\u00B0C", "a=g/m3"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("at most three"))) << qPrintable(run.err);
    run = RunTool(set + QStringList{"T"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("\"T\" is not NAME=UNIT"))) << qPrintable(run.err);
    run = RunTool(set);
    EXPECT_EQ(run.exitCode, 2);

    EXPECT_EQ(Table({"--host", sim.TcpAddress()}), kDefaultTable);
}

TEST(UnitsCommand, NoProbeFailsWithTheMessage) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--no-probe"}));
    const ToolRun run = RunTool({"--host", sim.TcpAddress(), "units"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Ingen mätprob är ansluten till instrumentet.")))
        << qPrintable(run.err);
    EXPECT_TRUE(run.out.isEmpty());
}
