#include <gtest/gtest.h>

#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceList.h"

using namespace cablewatch;

namespace {

// A tree of installed cables: instance name -> port name, all present.
RegistryTree Tree(const QList<QPair<QString, QString>>& cables) {
    RegistryTree tree;
    tree.CreateKey(kEnumRoot + kDeviceFolder);
    int n = 0;
    for (const auto& [instance, port] : cables) {
        const QString key = kEnumRoot + kDeviceKeyPrefix + instance;
        tree.SetDword(key, kConfigFlags, 0);
        if (!port.isNull())
            tree.SetString(key + QStringLiteral("\\Device Parameters"), kPortName, port);
        tree.SetString(kCurrentDriverEnum, QString::number(n++), kDeviceKeyPrefix + instance);
    }
    return tree;
}

QStringList Tags(const DeviceList& list) {
    QStringList tags;
    for (const DeviceRow& row : list.Rows()) tags << row.tag;
    return tags;
}

QStringList Ids(const DeviceList& list) {
    QStringList ids;
    for (const DeviceRow& row : list.Rows()) ids << row.cableId;
    return ids;
}

}  // namespace

TEST(DeviceList, SortsComNumbersByTheirValue) {
    DeviceList list;
    list.Update(Tree({{"A", "COM9"}, {"B", "COM10"}, {"C", "COM2"}}));
    EXPECT_EQ(Tags(list), (QStringList{"COM9", "COM10", "COM2"}));  // registry order until sorted
    EXPECT_FALSE(list.IsSorted());
    list.Sort();
    EXPECT_TRUE(list.IsSorted());
    EXPECT_EQ(Tags(list), (QStringList{"COM2", "COM9", "COM10"}));
    // The rows still show their port names, not the sort text.
    EXPECT_EQ(list.Rows()[0].text, QStringLiteral("COM2"));
}

TEST(DeviceList, SortKeyIsTheNumberRightAlignedInThreePlaces) {
    EXPECT_EQ(DeviceList::SortKey(QStringLiteral("COM5")), QStringLiteral("  5"));
    EXPECT_EQ(DeviceList::SortKey(QStringLiteral("COM12")), QStringLiteral(" 12"));
    EXPECT_EQ(DeviceList::SortKey(QStringLiteral("COM256")), QStringLiteral("256"));
    EXPECT_EQ(DeviceList::SortKey(QStringLiteral("COM1000")), QStringLiteral("1000"));
    EXPECT_EQ(DeviceList::SortKey(QStringLiteral("CO")), QStringLiteral("   "));
    EXPECT_EQ(DeviceList::SortKey(QString()), QStringLiteral("   "));
}

TEST(DeviceList, PortNameChangeDuringUpdateSwitchesSortingOffAndKeepsTheOrder) {
    DeviceList list;
    list.Update(Tree({{"A", "COM9"}, {"B", "COM10"}, {"C", "COM2"}}));
    list.Sort();
    ASSERT_TRUE(list.IsSorted());

    // Nothing changed: sorting stays on.
    UpdateSummary summary = list.Update(Tree({{"A", "COM9"}, {"B", "COM10"}, {"C", "COM2"}}));
    EXPECT_TRUE(list.IsSorted());
    EXPECT_FALSE(summary.Any());

    // Only a difference of case is no change either.
    list.Update(Tree({{"A", "com9"}, {"B", "COM10"}, {"C", "COM2"}}));
    EXPECT_TRUE(list.IsSorted());
    EXPECT_EQ(list.Rows()[1].tag, QStringLiteral("COM9"));

    summary = list.Update(Tree({{"A", "COM1"}, {"B", "COM10"}, {"C", "COM2"}}));
    EXPECT_TRUE(summary.sortingSwitchedOff);
    EXPECT_FALSE(list.IsSorted());
    EXPECT_EQ(Tags(list), (QStringList{"COM2", "COM1", "COM10"}));
    EXPECT_EQ(list.Rows()[1].text, QStringLiteral("COM1"));
    list.Sort();
    EXPECT_EQ(Tags(list), (QStringList{"COM1", "COM2", "COM10"}));
}

TEST(DeviceList, MissingPortNameLeavesTheRowsPortAlone) {
    DeviceList list;
    list.Update(Tree({{"A", "COM3"}}));
    list.Sort();
    list.Update(Tree({{"A", QString()}}));
    EXPECT_EQ(list.Rows()[0].tag, QStringLiteral("COM3"));
    EXPECT_TRUE(list.IsSorted());
}

TEST(DeviceList, ColumnClickRules) {
    DeviceList list;
    list.Update(Tree({{"B", "COM9"}, {"C", "COM10"}, {"A", "COM2"}}));
    list.Sort();
    list.ColumnClick(1);  // same column, ascending, sorted: descending
    EXPECT_TRUE(list.IsDescending());
    EXPECT_EQ(Tags(list), (QStringList{"COM10", "COM9", "COM2"}));
    list.ColumnClick(1);  // descending: back to ascending
    EXPECT_FALSE(list.IsDescending());
    EXPECT_EQ(Tags(list), (QStringList{"COM2", "COM9", "COM10"}));

    list.ColumnClick(3);  // another column: ascending by cable ID
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_FALSE(list.IsDescending());
    EXPECT_EQ(Ids(list), (QStringList{"A", "B", "C"}));

    // Same column ascending but not sorted (a port changed): stays ascending.
    list.Update(Tree({{"B", "COM4"}, {"C", "COM10"}, {"A", "COM2"}}));
    ASSERT_FALSE(list.IsSorted());
    list.ColumnClick(3);
    EXPECT_FALSE(list.IsDescending());
    EXPECT_TRUE(list.IsSorted());

    list.ColumnClick(0);  // no such column: nothing happens
    list.ColumnClick(4);
    EXPECT_EQ(list.SortColumn(), 2);
}

TEST(DeviceList, StatusColumnSortsIgnoringCase) {
    RegistryTree tree = Tree({{"A", "COM1"}, {"B", "COM2"}});
    tree.SetDword(kEnumRoot + kDeviceKeyPrefix + "A\\Control", kDisableCount, 1);
    DeviceList list;
    list.Update(tree);
    list.ColumnClick(2);
    EXPECT_EQ(Ids(list), (QStringList{"A", "B"}));  // "Disabled" before "OK"
    list.ColumnClick(2);
    EXPECT_EQ(Ids(list), (QStringList{"B", "A"}));
}

TEST(DeviceList, RowsGoWhenTheirKeyIsDeletedAndTheSelectionWithThem) {
    DeviceList list;
    list.Update(Tree({{"A", "COM1"}, {"B", "COM2"}}));
    list.Select(kDeviceKeyPrefix + "b");
    EXPECT_EQ(list.SelectedIndex(), 1);
    const UpdateSummary summary = list.Update(Tree({{"A", "COM1"}}));
    EXPECT_EQ(summary.removed, 1);
    EXPECT_EQ(list.Rows().size(), 1);
    EXPECT_EQ(list.SelectedIndex(), -1);
    EXPECT_TRUE(list.CommandsEnabled());
    list.Update(Tree({}));
    EXPECT_FALSE(list.CommandsEnabled());
}

TEST(DeviceList, AdjacentRowsDeletedInOneUpdateAllGo) {
    // Removing while walking the rows must not skip the row after a removed one.
    DeviceList list;
    list.Update(Tree({{"A", "COM1"}, {"B", "COM2"}, {"C", "COM3"}, {"D", "COM4"}}));
    const UpdateSummary summary = list.Update(Tree({{"D", "COM4"}}));
    EXPECT_EQ(summary.removed, 3);
    EXPECT_EQ(Ids(list), QStringList{"D"});
}

TEST(DeviceList, KnownRowsKeepTheirPlaceAndNewOnesComeLast) {
    DeviceList list;
    list.Update(Tree({{"M", "COM5"}}));
    const UpdateSummary summary = list.Update(Tree({{"A", "COM7"}, {"M", "COM5"}}));
    EXPECT_EQ(summary.added, 1);
    EXPECT_EQ(Ids(list), (QStringList{"M", "A"}));
}

TEST(DeviceList, RowAddedWithoutPortWhileSortedTakesItsSortedPlace) {
    DeviceList list;
    list.Update(Tree({{"B", "COM2"}}));
    list.ColumnClick(3);  // by cable ID
    list.Update(Tree({{"A", QString()}, {"B", "COM2"}}));
    EXPECT_TRUE(list.IsSorted());
    EXPECT_EQ(Ids(list), (QStringList{"A", "B"}));
}

TEST(DeviceList, SelectPortPicksTheMatchingRowOrTheFirst) {
    DeviceList list;
    list.Update(Tree({{"A", "COM9"}, {"B", "COM7"}}));
    list.Sort();
    EXPECT_TRUE(list.SelectPort(QStringLiteral("COM7")));
    EXPECT_EQ(list.SelectedKey(), kDeviceKeyPrefix + "B");
    EXPECT_FALSE(list.SelectPort(QStringLiteral("COM3")));
    EXPECT_EQ(list.SelectedIndex(), 0);
    EXPECT_FALSE(list.SelectPort(QString()));
    EXPECT_EQ(list.SelectedIndex(), 0);
    DeviceList empty;
    EXPECT_FALSE(empty.SelectPort(QStringLiteral("COM7")));
    EXPECT_EQ(empty.SelectedIndex(), -1);
}

TEST(DeviceList, ColumnWidthsShareTheListWidth) {
    EXPECT_EQ(DeviceList::ColumnWidths(380), (std::array<int, 3>{125, 125, 126}));
    EXPECT_EQ(DeviceList::ColumnWidths(2), (std::array<int, 3>{0, 0, 1}));
}
