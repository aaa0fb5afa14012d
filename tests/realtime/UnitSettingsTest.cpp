// The instrument's quantity table ("UNIT"), the change command and the
// interval list, and the two exchanges with the instrument.
#include <gtest/gtest.h>

#include "base/MessageKeys.h"
#include "base/TextHelpers.h"
#include "realtime/RealTimeSettingsFixture.h"
#include "realtime/UnitSettings.h"

namespace {

QuantityChoice Quantity(const char* name, int choice, QStringList units) {
    QuantityChoice q;
    q.Name = QString::fromLatin1(name);
    q.UnitChoice = static_cast<qint16>(choice);
    for (int u = 0; u < units.size(); ++u)
        q.Units << QuantityUnit{static_cast<qint16>(u), units.at(u)};
    return q;
}

}  // namespace

TEST(UnitReply, AFiveTabLineHasThreeUnitsAndItsChoice) {
    const QList<QuantityChoice> quantities =
        ParseUnitReply(QStringLiteral("1\tT\t2\t\u00B0C\t\u00B0F\tK\r\n\x1A"));
    ASSERT_EQ(quantities.size(), 1);
    const QuantityChoice& t = quantities.first();
    EXPECT_EQ(t.ListIndex, 0);
    EXPECT_EQ(t.Name, QStringLiteral("T"));
    EXPECT_EQ(t.UnitChoice, 2);
    ASSERT_EQ(t.Units.size(), 3);
    EXPECT_EQ(t.Units.at(1).Index, 1);
    EXPECT_EQ(t.Units.at(1).Unit, QStringLiteral("\u00B0F"));
    EXPECT_EQ(t.Units.at(2).Unit, QStringLiteral("K"));
}

TEST(UnitReply, AnEmptyChoiceIsZeroAndKeepsTheUnitsInPlace) {
    const QList<QuantityChoice> quantities = ParseUnitReply(
        QStringLiteral("1\tRH\t\t%RH\r\n2\ta\t0\tg/m\x8F\tgr/ft\x8F\r\n3\tx\t1\r\n\x1A"));
    ASSERT_EQ(quantities.size(), 3);
    EXPECT_EQ(quantities.at(0).UnitChoice, 0);
    ASSERT_EQ(quantities.at(0).Units.size(), 1);
    EXPECT_EQ(quantities.at(0).Units.at(0).Unit, QStringLiteral("%RH"));
    EXPECT_EQ(quantities.at(1).ListIndex, 1);
    // The instrument's symbol code for a superscript 3 reads as "3".
    EXPECT_EQ(quantities.at(1).ShownUnit(0), QStringLiteral("g/m3"));
    EXPECT_EQ(quantities.at(1).ShownUnit(1), QStringLiteral("gr/ft3"));
    EXPECT_TRUE(quantities.at(2).Units.isEmpty()) << "two TABs: no units";
}

TEST(UnitReply, NamesAndUnitsKeepTheirFixedLengths) {
    const QList<QuantityChoice> quantities =
        ParseUnitReply(QStringLiteral("1\tHumidity1234\t1\tverylongunit\r\n\x1A"));
    ASSERT_EQ(quantities.size(), 1);
    EXPECT_EQ(quantities.first().Name, QStringLiteral("Humidity1"));
    EXPECT_EQ(quantities.first().Units.first().Unit, QStringLiteral("verylong"));
}

TEST(UnitReply, TheEndMarkAloneIsNoProbe) {
    EXPECT_TRUE(IsNoProbeReply(QStringLiteral("\x1A")));
    EXPECT_FALSE(IsNoProbeReply(QStringLiteral("1\tT\t1\tC\r\n\x1A")));
    EXPECT_TRUE(ParseUnitReply(QStringLiteral("\x1A")).isEmpty());
    // Whatever follows the end mark is no quantity.
    EXPECT_EQ(ParseUnitReply(QStringLiteral("1\tT\t1\tC\r\n\x1A"
                                            "2\tX\t0\tY\r\n"))
                  .size(),
              1);
}

// A damaged reply's unit choice (no unit of the list, or more digits than any
// number holds) is read as not shown, so UNIT never sends it back.
TEST(UnitReply, AChoiceOfNoListedUnitIsNotShown) {
    const QList<QuantityChoice> q = ParseUnitReply(
        QStringLiteral("1\tT\t2222222221\t\u00b0C\t\u00b0F\r\n2\tRH\t3\t%RH\r\n3\tTd\t2\t\u00b0C\t"
                       "\u00b0F\r\n\x1A"));
    ASSERT_EQ(q.size(), 3);
    EXPECT_EQ(q[0].UnitChoice, 0);
    EXPECT_EQ(q[1].UnitChoice, 0);
    EXPECT_EQ(q[2].UnitChoice, 2);
    EXPECT_EQ(UnitChangeCommand(q, {true, true, true}), QStringLiteral("UNIT 0 0 2 \r"));
}

TEST(UnitChange, OneNumberAndABlankPerQuantity) {
    // Three quantities of which the first and third are shown in their units 1 and 2.
    const QList<QuantityChoice> quantities = {
        Quantity("T", 1, {"C", "F"}), Quantity("RH", 1, {"%RH"}), Quantity("a", 2, {"g", "gr"})};
    EXPECT_EQ(UnitChangeCommand(quantities, {true, false, true}), QStringLiteral("UNIT 1 0 2 \r"));
    EXPECT_EQ(UnitChangeCommand(quantities, {false, false, false}),
              QStringLiteral("UNIT 0 0 0 \r"));
}

TEST(IntervalList, TheElevenEntries) {
    const char* texts[] = {"1    s",  "5    s",  "15  s",  "30  s",  "1    min", "5    min",
                           "15  min", "30  min", "1    h", "3    h", "12  h"};
    const qint32 seconds[] = {1, 5, 15, 30, 60, 300, 900, 1800, 3600, 10800, 43200};
    const qint16 units[] = {2, 2, 2, 2, 4, 4, 4, 4, 8, 8, 8};
    for (int i = 0; i < kIntervalCount; ++i) {
        EXPECT_STREQ(kIntervals[i].text, texts[i]) << i;
        EXPECT_EQ(IntervalSecond(i), seconds[i]) << i;
        EXPECT_EQ(IntervalUnit(i), units[i]) << i;
        EXPECT_EQ(ListInterval(seconds[i]), i);
    }
    EXPECT_EQ(IntervalSecond(-1), 0);
    EXPECT_EQ(IntervalUnit(-1), 2);
    EXPECT_EQ(ListInterval(120), -1) << "two minutes is no entry";
    EXPECT_EQ(ListInterval(0), -1);
}

using UnitExchange = RealTimeSettingsFixture;

TEST_F(UnitExchange, ReadsTheProbesQuantitiesAndClosesTheLink) {
    QList<QuantityChoice> quantities;
    EXPECT_EQ(ReadQuantityTable(link, quantities), UnitReadResult::Read);
    ASSERT_EQ(quantities.size(), 6);
    EXPECT_EQ(quantities.at(0).ShownName(), QStringLiteral("T"));
    EXPECT_EQ(quantities.at(0).UnitChoice, 1);
    EXPECT_EQ(quantities.at(0).ShownUnit(1), QStringLiteral("\u00B0F"));
    EXPECT_EQ(quantities.at(2).UnitChoice, 0);
    EXPECT_EQ(Commands(), QStringList{QStringLiteral("UNIT")});
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(link.State().OpenPort, 0);
    EXPECT_FALSE(instrument.LineOpen());
    EXPECT_FALSE(link.State().LinkBusy);
    EXPECT_EQ(link.State().icommand, Command::kNone);
    EXPECT_FALSE(link.Progress().IsLoaded());
}

TEST_F(UnitExchange, NoProbeIsShownAndTheLinkClosed) {
    instrument.Faults().noProbe = true;
    QList<QuantityChoice> quantities;
    EXPECT_EQ(ReadQuantityTable(link, quantities, false), UnitReadResult::NoProbe);
    EXPECT_TRUE(quantities.isEmpty());
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kNoProbe});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_EQ(link.State().OpenPort, 0) << "closed even when the caller meant to go on";
    EXPECT_FALSE(instrument.LineOpen());
    EXPECT_FALSE(link.Progress().IsLoaded());
}

TEST_F(UnitExchange, ARefusedReadIsCannotChange) {
    instrument.Faults().errCommands.insert("UNIT");
    QList<QuantityChoice> quantities;
    EXPECT_EQ(ReadQuantityTable(link, quantities), UnitReadResult::Failed);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kCannotChange});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_FALSE(link.Progress().IsLoaded());
    EXPECT_FALSE(link.State().LinkBusy);
}

TEST_F(UnitExchange, TheChoiceReachesTheInstrument) {
    QList<QuantityChoice> quantities;
    ASSERT_EQ(ReadQuantityTable(link, quantities), UnitReadResult::Read);
    quantities[0].UnitChoice = 2;
    quantities[3].UnitChoice = 1;
    EXPECT_TRUE(SendUnitChoice(link, quantities, {true, false, false, true, false, false}));
    EXPECT_EQ(Commands().last(), QStringLiteral("UNIT 2 0 0 1 0 0"));
    EXPECT_EQ(instrument.Probe().at(0).choice, 2);
    EXPECT_EQ(instrument.Probe().at(1).choice, 0);
    EXPECT_EQ(instrument.Probe().at(3).choice, 1);
    EXPECT_EQ(link.State().OpenPort, 0);
    EXPECT_FALSE(link.State().LinkBusy);
}
