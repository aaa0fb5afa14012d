// The directory: entries of a DIR reply, sorting, and the selection rules.
#include <gtest/gtest.h>

#include "base/TextHelpers.h"
#include "download/DirEntry.h"
#include "sim/Instrument.h"

namespace {

QStringList Names(const QList<DirEntry>& entries) {
    QStringList names;
    for (const DirEntry& entry : entries) names << entry.Name;
    return names;
}

QList<DirEntry> Sample() {
    return ParseDirReply(
        QStringLiteral("Beta\t12-03-05 14:00:00\t1000\t020A\t \t250\r\n"
                       "alfa\t11-01-01 00:00:00\t12\t0200\tL\r\n"
                       "Gamma\t12-03-05 13:00:00\t500\t0401\t\t500\r\n"
                       "Delta\t12-03-05 13:00:00\t1000\t020A\t \r\n\x1A"));
}

}  // namespace

TEST(DirReply, ParsesTheSimulatorsDirectory) {
    Instrument instrument;
    const QList<DirEntry> entries = ParseDirReply(DecodeInstrumentBytes(instrument.DirReply()));
    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries.at(1).Name, QStringLiteral("Kylrum \u00d6st [I]"));
    EXPECT_EQ(entries.at(1).Key, QStringLiteral("#1"));
    EXPECT_EQ(entries.at(1).Index, 1);
    EXPECT_EQ(entries.at(2).Status, QStringLiteral("L"));
    EXPECT_FALSE(entries.at(2).Deletable());
    EXPECT_FALSE(entries.at(2).RangeCapable());
    EXPECT_EQ(entries.at(3).PointTotal, 70000);
    EXPECT_TRUE(entries.at(3).RangeCapable());
    EXPECT_EQ(entries.at(0).FirstPointTime, QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0)));
    EXPECT_TRUE(AnyRangeCapable(entries));
}

TEST(DirReply, CtrlZAloneListsNoFiles) {
    bool wellFormed = false;
    EXPECT_TRUE(ParseDirReply(QString(QChar(0x1A)), &wellFormed).isEmpty());
    EXPECT_TRUE(wellFormed);
}

// Regression: a late "OK" taken for the directory became one file named "OK",
// and "delete 0" then deleted every file of the instrument.
TEST(DirReply, OnlyLinesOfTheDirectorysShapeAreADirectory) {
    Instrument instrument;
    bool wellFormed = false;
    ParseDirReply(DecodeInstrumentBytes(instrument.DirReply()), &wellFormed);
    EXPECT_TRUE(wellFormed);
    ParseDirReply(QStringLiteral("Beta\t12-03-05 14:00:00\t1000\t020A\t \t250\r\n\x1A"),
                  &wellFormed);
    EXPECT_TRUE(wellFormed);
    for (const char* reply :
         {"OK\r\n\x1A", "ERR\r\n\x1A", "OK\x1A", "TR58 PT-5\r\nSW 2.14 \r\n\x1A",
          "Beta\tyesterday\t1000\t020A\t \r\n\x1A",
          "Beta\t12-03-05 14:00:00\tmany\t020A\t \r\n\x1A",
          "Beta\t12-03-05 14:00:00\t1000\t020A\t \r\nOK\r\n\x1A"}) {
        SCOPED_TRACE(reply);
        ParseDirReply(QString::fromLatin1(reply), &wellFormed);
        EXPECT_FALSE(wellFormed);
    }
}

TEST(DirReply, TheSecondCountReplacesThePointCount) {
    const QList<DirEntry> entries = Sample();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries.at(0).PointTotal, 250);
    EXPECT_EQ(entries.at(0).SecondCount, QStringLiteral("250"));
    EXPECT_EQ(entries.at(3).PointTotal, 1000);
    EXPECT_FALSE(entries.at(3).RangeCapable());
}

// Regression: a deletable file whose status field is empty had its second
// count taken for the status (the field reader skipped the empty field), so
// it showed the wrong point count and no range download.
TEST(DirReply, AnEmptyStatusKeepsTheSecondCountInPlace) {
    const QList<DirEntry> entries = Sample();
    EXPECT_EQ(entries.at(2).Status, QString());
    EXPECT_TRUE(entries.at(2).Deletable());
    EXPECT_EQ(entries.at(2).SecondCount, QStringLiteral("500"));
    EXPECT_TRUE(entries.at(2).RangeCapable());
}

TEST(DirSort, ClickingAHeaderTwiceFlipsTheDirection) {
    QList<DirEntry> entries = Sample();
    DirSortState sort;
    SortDirEntries(entries, DirColumn::Points, sort.Click(DirColumn::Points));
    EXPECT_EQ(Names(entries), (QStringList{"alfa", "Beta", "Gamma", "Delta"}));
    SortDirEntries(entries, DirColumn::Points, sort.Click(DirColumn::Points));
    EXPECT_FALSE(sort.ascending);
    EXPECT_EQ(Names(entries), (QStringList{"Delta", "Gamma", "Beta", "alfa"}));
    SortDirEntries(entries, DirColumn::Name, sort.Click(DirColumn::Name));
    EXPECT_TRUE(sort.ascending);
    EXPECT_EQ(Names(entries), (QStringList{"Beta", "Delta", "Gamma", "alfa"}));  // ordinal
}

TEST(DirSort, SortsByFirstPointStablyAndBackByIndex) {
    QList<DirEntry> entries = Sample();
    SortDirEntries(entries, DirColumn::FirstPoint, true);
    EXPECT_EQ(Names(entries), (QStringList{"alfa", "Gamma", "Delta", "Beta"}));
    SortDirEntries(entries, DirColumn::Status, false);
    EXPECT_EQ(entries.first().Name, QStringLiteral("alfa"));
    SortDirEntries(entries, DirColumn::Index, true);
    EXPECT_EQ(Names(entries), (QStringList{"Beta", "alfa", "Gamma", "Delta"}));
}

TEST(DirSort, TheSelectionSurvivesSorting) {
    QList<DirEntry> entries = Sample();
    entries[0].Selected = 1;
    entries[3].Selected = 1;
    SortDirEntries(entries, DirColumn::Name, false);
    for (const DirEntry& entry : entries)
        EXPECT_EQ(entry.Selected != 0, entry.Name == "Beta" || entry.Name == "Delta")
            << qPrintable(entry.Name);
    EXPECT_EQ(SelectedCount(entries), 2);
}

TEST(DirSelection, RulesFollowTheSelectedFiles) {
    QList<DirEntry> entries = Sample();
    DirSelectionRules rules = SelectionRules(entries);
    EXPECT_FALSE(rules.actionEnabled);
    EXPECT_FALSE(rules.deleteAfterEnabled);

    entries[3].Selected = 1;  // no range support, deletable
    rules = SelectionRules(entries);
    EXPECT_TRUE(rules.actionEnabled);
    EXPECT_TRUE(rules.deleteEnabled);
    EXPECT_TRUE(rules.deleteAfterEnabled);
    EXPECT_FALSE(rules.rangeEnabled);

    entries[0].Selected = 1;  // 250 of 1000 points by range
    entries[1].Selected = 1;  // undeletable
    rules = SelectionRules(entries);
    EXPECT_TRUE(rules.actionEnabled);
    EXPECT_FALSE(rules.deleteEnabled);
    EXPECT_FALSE(rules.deleteAfterEnabled);
    EXPECT_TRUE(rules.rangeEnabled);
    EXPECT_FALSE(AllSelected(entries));
    entries[2].Selected = 1;
    EXPECT_TRUE(AllSelected(entries));
}

TEST(DirReply, TheIntervalGivesEachFilesLastPoint) {
    Instrument instrument;
    const QList<DirEntry> entries = ParseDirReply(DecodeInstrumentBytes(instrument.DirReply()));
    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries.at(0).IntervalUnit, 2);
    EXPECT_EQ(entries.at(0).IntervalValue, 10);
    // Lab 1: 1000 points every 10 s from 08:00:00.
    EXPECT_EQ(LastPointTime(entries.at(0)), QDateTime(QDate(2026, 11, 2), QTime(10, 46, 30)));
    // Kylrum Öst: 2500 points every minute from 30 October 08:00.
    EXPECT_EQ(LastPointTime(entries.at(1)), QDateTime(QDate(2026, 11, 1), QTime(1, 39, 0)));
    EXPECT_FALSE(LastPointTime(entries.at(2))) << "Manuell is recorded by hand";
}

TEST(DirReply, TheRangeSpanFollowsTheSelection) {
    Instrument instrument;
    QList<DirEntry> entries = ParseDirReply(DecodeInstrumentBytes(instrument.DirReply()));
    entries[0].Selected = 1;
    auto span = RangeSpan(entries);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->first, QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0)));
    EXPECT_EQ(span->second, QDateTime(QDate(2026, 11, 2), QTime(10, 46, 30)));
    entries[1].Selected = 1;
    entries[4].Selected = 1;  // Lager has no range: it does not count
    span = RangeSpan(entries);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->first, QDateTime(QDate(2026, 10, 30), QTime(8, 0, 0)));
    EXPECT_EQ(span->second, QDateTime(QDate(2026, 11, 2), QTime(10, 46, 30)));
}

TEST(DirReply, TheDeleteQuestionAndTheReasonDeleteIsOff) {
    QList<DirEntry> entries = Sample();
    entries[0].Selected = 1;
    EXPECT_EQ(DeleteQuestionText(entries),
              QStringLiteral("Radera filen Beta från instrumentet?\nDet går inte att ångra."));
    EXPECT_EQ(DeleteRefusedReason(entries), QString());
    entries[1].Selected = 1;
    EXPECT_EQ(DeleteQuestionText(entries),
              QStringLiteral("Radera 2 filer från instrumentet?\nDet går inte att ångra."));
    EXPECT_TRUE(DeleteRefusedReason(entries).contains(QStringLiteral("(alfa)")))
        << qPrintable(DeleteRefusedReason(entries));
}
