// The deletion walk: one DEL for everything, DEL n counted down as files move,
// and the end of the walk at the first refusal or failure.
#include <gtest/gtest.h>

#include "DownloadFixture.h"
#include "download/FileDeletion.h"

namespace {

// Four deletable files, 0 to 3.
QList<SimFile> FourFiles() {
    QList<SimFile> files;
    for (int i = 0; i < 4; ++i) {
        SimFile file;
        QString error;
        ParseSimFile(QStringLiteral("F%1:5:1").arg(i), i, file, error);
        files << file;
    }
    return files;
}

}  // namespace

class FileDeletion : public DownloadFixture {
protected:
    FileDeletion() { instrument.Files() = FourFiles(); }
};

TEST_F(FileDeletion, FilesOneAndThreeOfFourAreDelOneThenDelTwo) {
    QList<DirEntry> entries = Directory();
    entries[1].Selected = 1;
    entries[3].Selected = 1;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Deleted);
    // Only the second command closes the link (EXIT follows it, not the first).
    EXPECT_EQ(Commands(), (QStringList{"DEL 1", "DEL 2", "EXIT"}));
    EXPECT_EQ(FileNames(), (QStringList{"F0", "F2"}));
    EXPECT_EQ(link.State().LineTotal, 2);
    EXPECT_EQ(link.Progress().Message(), QStringLiteral("Raderar fil(er) fr\u00e5n instrument..."));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(FileDeletion, EverySelectedFileIsOneDel) {
    QList<DirEntry> entries = Directory();
    for (DirEntry& entry : entries) entry.Selected = 1;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Deleted);
    EXPECT_EQ(Commands(), (QStringList{"DEL", "EXIT"}));
    EXPECT_TRUE(FileNames().isEmpty());
}

TEST_F(FileDeletion, SortingByNameDoesNotChangeTheDirectoryOrder) {
    QList<DirEntry> entries = Directory();
    entries[0].Name = "zz";
    entries[3].Name = "aa";
    SortDirEntries(entries, DirColumn::Name, true);
    ASSERT_EQ(entries.at(2).Name, QStringLiteral("aa"));  // F1, F2, aa, zz (ordinal)
    entries[2].Selected = 1;                              // file 3
    entries[3].Selected = 1;                              // file 0
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Deleted);
    EXPECT_EQ(Commands(), (QStringList{"DEL 0", "DEL 2", "EXIT"}));
    EXPECT_EQ(FileNames(), (QStringList{"F1", "F2"}));
}

TEST_F(FileDeletion, ErrToTheFirstOfTwoStopsTheWalk) {
    instrument.Files()[1].deletable = false;  // the instrument answers "ERR"
    QList<DirEntry> entries = Directory();
    entries[1].Selected = 1;
    entries[2].Selected = 1;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Refused);
    EXPECT_EQ(Commands(), (QStringList{"DEL 1", "EXIT"}));
    EXPECT_EQ(FileNames(), (QStringList{"F0", "F1", "F2", "F3"}));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("File Deleted")});
    EXPECT_EQ(link.State().OpenPort, 0);
}

TEST_F(FileDeletion, AFailedCommandEndsTheWalk) {
    instrument.Faults().silentAfter = 1;  // answers ECHO OFF, then nothing
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    entries[2].Selected = 1;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Failed);
    EXPECT_EQ(Commands().first(), QStringLiteral("DEL 0"));
    EXPECT_FALSE(Commands().contains(QStringLiteral("DEL 1")));
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
}

TEST_F(FileDeletion, AfterADownloadTheProgressTotalIsLeftAlone) {
    QList<DirEntry> entries = Directory();
    entries[2].Selected = 1;
    link.State().LineTotal = 1234;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, true), DeleteOutcome::Deleted);
    EXPECT_EQ(link.State().LineTotal, 1234);
    EXPECT_EQ(Commands(), (QStringList{"DEL 2", "EXIT"}));
}

TEST_F(FileDeletion, AnythingButOkToTheBulkDelIsReported) {
    // One DEL for every file: a refusal must not pass for a deletion.
    instrument.Faults().canned.insert("DEL", "ERR\r\n\x1A");
    QList<DirEntry> entries = Directory();
    for (DirEntry& entry : entries) entry.Selected = 1;
    EXPECT_EQ(DeleteSelectedFiles(link, entries, false), DeleteOutcome::Refused);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("File Deleted")});
    EXPECT_EQ(link.State().OpenPort, 0);
}
