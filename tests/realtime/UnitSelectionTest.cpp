// The real-time settings dialog's rules without its widgets: at most three
// quantities, the unit unitSlots they fill, and what OK does.
#include <gtest/gtest.h>

#include "base/MessageKeys.h"
#include "realtime/RealTimeSettingsFixture.h"
#include "realtime/UnitSelection.h"

namespace {

QList<QuantityChoice> SixQuantities() {
    return ParseUnitReply(QStringLiteral(
        "1\tT\t1\tC\tF\r\n2\tRH\t1\t%RH\r\n3\tTd\t0\tC\tF\r\n4\ta\t0\tg/m3\tgr/ft3\r\n"
        "5\tx\t0\tg/kg\tgr/lb\r\n6\tTw\t\tC\tF\r\n\x1A"));
}

}  // namespace

TEST(UnitSelection, TheInstrumentsChoiceIsPreselectedWithItsUnit) {
    UnitSelection selection;
    selection.Load(ParseUnitReply(QStringLiteral("1\tRH\t0\t%RH\r\n2\tT\t2\tC\tF\tK\r\n\x1A")), 5);
    EXPECT_FALSE(selection.IsSelected(0));
    EXPECT_TRUE(selection.IsSelected(1));
    const auto& unitSlots = selection.Slots();
    EXPECT_EQ(unitSlots[0].quantity, 1);
    EXPECT_EQ(unitSlots[0].label, QStringLiteral("T"));
    EXPECT_EQ(unitSlots[0].units, (QStringList{"C", "F", "K"}));
    EXPECT_EQ(unitSlots[0].current, 1) << "its second unit";
    EXPECT_FALSE(unitSlots[1].Shown());
    EXPECT_FALSE(unitSlots[2].Shown());
    EXPECT_FALSE(selection.QuantitiesChanged()) << "loading changes nothing";
    EXPECT_FALSE(selection.IntervalChanged());
    EXPECT_EQ(selection.IntervalIndex(), 1);
}

TEST(UnitSelection, AFourthQuantityIsRefused) {
    UnitSelection selection;
    selection.Load(SixQuantities(), 5);
    EXPECT_TRUE(selection.Select(3, true));
    EXPECT_FALSE(selection.Select(2, true));
    EXPECT_FALSE(selection.Select(5, true));
    EXPECT_EQ(selection.Selection(), (QList<bool>{true, true, false, true, false, false}));
    const auto& unitSlots = selection.Slots();
    EXPECT_EQ(unitSlots[0].label, QStringLiteral("T"));
    EXPECT_EQ(unitSlots[1].label, QStringLiteral("RH"));
    EXPECT_EQ(unitSlots[2].label, QStringLiteral("a"));
}

TEST(UnitSelection, MoreThanThreeShownOnTheInstrumentLoadsTheFirstThree) {
    UnitSelection selection;
    selection.Load(ParseUnitReply(QStringLiteral(
                       "1\tA\t1\tu\r\n2\tB\t1\tu\r\n3\tC\t1\tu\r\n4\tD\t1\tu\r\n\x1A")),
                   5);
    EXPECT_EQ(selection.Selection(), (QList<bool>{true, true, true, false}));
}

TEST(UnitSelection, SlotsFollowTheListOrderAndANewQuantityStartsInItsFirstUnit) {
    UnitSelection selection;
    selection.Load(SixQuantities(), 5);
    ASSERT_TRUE(selection.Select(2, true));  // Td, not shown on the instrument
    EXPECT_EQ(selection.Quantities().at(2).UnitChoice, 1);
    const auto& unitSlots = selection.Slots();
    EXPECT_EQ(unitSlots[2].label, QStringLiteral("Td"));
    EXPECT_EQ(unitSlots[2].current, 0);
    ASSERT_TRUE(selection.Select(0, false));  // T leaves: the others move up
    EXPECT_EQ(unitSlots[0].label, QStringLiteral("RH"));
    EXPECT_EQ(unitSlots[1].label, QStringLiteral("Td"));
    EXPECT_FALSE(unitSlots[2].Shown());
    EXPECT_TRUE(unitSlots[2].units.isEmpty());
    EXPECT_TRUE(selection.QuantitiesChanged());

    // A unit chosen in slot 1 belongs to the second selected quantity.
    selection.ChooseUnit(1, 1);
    EXPECT_EQ(selection.Quantities().at(2).UnitChoice, 2);
    EXPECT_EQ(selection.Quantities().at(1).UnitChoice, 1);
    EXPECT_EQ(selection.ChangeCommand(), QStringLiteral("UNIT 0 1 2 0 0 0 \r"));
}

TEST(UnitSelection, ChoosingAUnitIsAChange) {
    UnitSelection selection;
    selection.Load(SixQuantities(), 5);
    selection.ChooseUnit(0, 1);
    EXPECT_TRUE(selection.QuantitiesChanged());
    EXPECT_FALSE(selection.IntervalChanged());
    EXPECT_EQ(selection.ChangeCommand(), QStringLiteral("UNIT 2 1 0 0 0 0 \r"));
}

TEST(UnitSelection, AnIntervalTheListLacksChoosesNothing) {
    UnitSelection selection;
    selection.Load(SixQuantities(), 120);
    EXPECT_EQ(selection.IntervalIndex(), -1);
    selection.Load(SixQuantities(), 3600);
    EXPECT_EQ(selection.IntervalIndex(), 8);
}

using UnitSelectionOk = RealTimeSettingsFixture;

namespace {
UnitSelection Loaded(Link& link) {
    QList<QuantityChoice> quantities;
    EXPECT_EQ(ReadQuantityTable(link, quantities), UnitReadResult::Read);
    UnitSelection selection;
    selection.Load(quantities, link.RealTimeInterval());
    return selection;
}
}  // namespace

TEST_F(UnitSelectionOk, NothingChangedSendsNothingAndKeepsNothing) {
    UnitSelection selection = Loaded(link);
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Unchanged);
    EXPECT_EQ(Commands(), QStringList{"UNIT"});
    EXPECT_FALSE(store->Raw().contains(QStringLiteral("Settings/LastInterval")));
    EXPECT_EQ(keptInterval, -1);
}

TEST_F(UnitSelectionOk, OnlyANewIntervalSendsNoCommandAndKeepsIt) {
    UnitSelection selection = Loaded(link);
    selection.ChooseInterval(5);  // 5 min
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Applied);
    EXPECT_EQ(Commands(), QStringList{"UNIT"});
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastInterval"), 0), 300);
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastIntervalType"), 0), 4);
    EXPECT_EQ(link.RealTimeInterval(), 300);
    EXPECT_EQ(keptInterval, 300);
    EXPECT_EQ(keptUnit, 4);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(UnitSelectionOk, ADeselectedQuantitySendsZero) {
    UnitSelection selection = Loaded(link);
    ASSERT_TRUE(selection.Select(1, false));  // RH
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Applied);
    EXPECT_EQ(Commands(), (QStringList{"UNIT", "UNIT 1 0 0 0 0 0"}));
    EXPECT_EQ(instrument.Probe().at(1).choice, 0);
    EXPECT_EQ(instrument.Probe().at(0).choice, 1);
    // The interval entry was never touched: it is kept as chosen (5 s, code 2).
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastInterval"), 0), 5);
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastIntervalType"), 0), 2);
    EXPECT_FALSE(link.State().LinkBusy);
    EXPECT_EQ(link.State().OpenPort, 0);
}

TEST_F(UnitSelectionOk, ARefusedChangeLeavesTheIntervalAlone) {
    UnitSelection selection = Loaded(link);
    instrument.Faults().recording = true;  // the instrument refuses other units
    selection.ChooseUnit(0, 1);
    selection.ChooseInterval(10);
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Failed);
    EXPECT_EQ(Commands(), (QStringList{"UNIT", "UNIT 2 1 0 0 0 0"}));
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kCannotChange});
    EXPECT_FALSE(store->Raw().contains(QStringLiteral("Settings/LastInterval")));
    EXPECT_EQ(link.RealTimeInterval(), 5);
    EXPECT_EQ(keptInterval, -1);
    EXPECT_FALSE(link.State().LinkBusy);
}

TEST_F(UnitSelectionOk, NoIntervalEntryKeepsTheIntervalAsItWas) {
    link.SetRealTimeInterval(120);
    UnitSelection selection = Loaded(link);
    ASSERT_EQ(selection.IntervalIndex(), -1);
    selection.ChooseUnit(0, 1);
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Applied);
    EXPECT_EQ(link.RealTimeInterval(), 120);
    EXPECT_FALSE(store->Raw().contains(QStringLiteral("Settings/LastInterval")));
}

TEST_F(UnitSelectionOk, ARunningRealTimeWindowIsStoppedOnlyWhenTheUserAgrees) {
    UnitSelection selection = Loaded(link);
    selection.ChooseUnit(0, 1);
    monitor.active = true;
    presenter.answer = false;
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Declined);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kChangeSettings});
    EXPECT_EQ(monitor.stops, 0);
    EXPECT_EQ(Commands(), QStringList{"UNIT"});
    EXPECT_EQ(keptInterval, -1);

    presenter.answer = true;
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Applied);
    EXPECT_EQ(monitor.stops, 1);
    EXPECT_EQ(Commands(), (QStringList{"UNIT", "UNIT 2 1 0 0 0 0"}));
}

TEST_F(UnitSelectionOk, APollInProgressMakesOkWait) {
    UnitSelection selection = Loaded(link);
    selection.ChooseUnit(0, 1);
    monitor.active = true;
    monitor.polling = true;
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Busy);
    EXPECT_TRUE(presenter.shown.isEmpty()) << "not even asked";
    EXPECT_EQ(monitor.stops, 0);
    EXPECT_EQ(Commands(), QStringList{"UNIT"});
    monitor.polling = false;
    presenter.answer = true;
    EXPECT_EQ(selection.Apply(*this), UnitSelection::OkResult::Applied);
}
