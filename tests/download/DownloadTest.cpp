// Downloading: the PLAY command forms, the range check, the progress total,
// and a whole download against the in-process simulator.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "DownloadFixture.h"
#include "base/UserLocale.h"
#include "document/Document.h"
#include "download/Download.h"
#include "download/RecordedDataFill.h"

namespace {

DirEntry Entry(int index, const QString& secondCount = QString(), qint32 points = 100) {
    DirEntry entry;
    entry.Index = index;
    entry.Key = QStringLiteral("#%1").arg(index);
    entry.SecondCount = secondCount;
    entry.PointTotal = points;
    return entry;
}

class SwedishLocale : public ::testing::Test {
protected:
    SwedishLocale() { UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden)); }
    ~SwedishLocale() override { UserLocale::Init(QLocale::c()); }
};

}  // namespace

TEST(PlayCommand, PlainAndRangeForms) {
    const QDateTime from(QDate(2011, 5, 3), QTime(9, 0, 0));
    const QDateTime to(QDate(2011, 5, 3), QTime(10, 0, 0));
    EXPECT_EQ(PlayCommand(Entry(3), false), QStringLiteral("PLAY 3\r"));
    EXPECT_EQ(PlayCommand(Entry(3, "250"), true, from, to),
              QStringLiteral("PLAY 3 2011-05-03 09:00:00 2011-05-03 10:00:00\r"));
    // A file without the sixth directory field gets the plain form.
    EXPECT_EQ(PlayCommand(Entry(0), true, from, to), QStringLiteral("PLAY 0\r"));
    EXPECT_EQ(FileNumberOfKey(QStringLiteral("#12")), 12);
    EXPECT_EQ(FileNumberOfKey(QStringLiteral("12")), -1);
}

using RangeCheckTest = SwedishLocale;

TEST_F(RangeCheckTest, EqualTimesAreRefusedAndAnHourIsAccepted) {
    QString fromDate = "2011-05-03", fromTime = "10:00:00", toDate = "2011-05-03",
            toTime = "10:00:00";
    QDateTime from, to;
    EXPECT_FALSE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    fromTime = "09:00:00";
    ASSERT_TRUE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    EXPECT_EQ(from, QDateTime(QDate(2011, 5, 3), QTime(9, 0, 0)));
    EXPECT_EQ(to, QDateTime(QDate(2011, 5, 3), QTime(10, 0, 0)));
}

TEST_F(RangeCheckTest, AToDateBeforeTheFromDateIsRefused) {
    QString fromDate = "2011-05-04", fromTime = "00:00:00", toDate = "2011-05-03",
            toTime = "23:00:00";
    QDateTime from, to;
    EXPECT_FALSE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    // Across days the times do not matter.
    fromDate = "2011-05-02";
    EXPECT_TRUE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
}

TEST_F(RangeCheckTest, RewritesTheFieldsAndStopsAtTheFirstInvalidOne) {
    QString fromDate = " 2011-5-3", fromTime = "9:00", toDate = "not a date", toTime = "25:00";
    QDateTime from, to;
    EXPECT_FALSE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    EXPECT_EQ(fromDate, QStringLiteral("2011-05-03"));
    EXPECT_EQ(fromTime, QStringLiteral("09:00:00"));
    EXPECT_EQ(toDate, QStringLiteral("not a date"));
    EXPECT_EQ(toTime, QStringLiteral("25:00"));
}

TEST(RangeCheckEnglish, ReadsTheUsersShortDateWithTwoDigitYears) {
    UserLocale::Init(QLocale(QLocale::English, QLocale::UnitedStates));
    QString fromDate = "5/3/11", fromTime = "9:00:00 AM", toDate = "5/3/11", toTime = "1:00:00 PM";
    QDateTime from, to;
    EXPECT_TRUE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    EXPECT_EQ(from, QDateTime(QDate(2011, 5, 3), QTime(9, 0, 0)));
    EXPECT_EQ(to, QDateTime(QDate(2011, 5, 3), QTime(13, 0, 0)));
    UserLocale::Init(QLocale::c());
}

TEST(DownloadLineTotal, CountsPointsAndHeadersTwiceAndTheDeletions) {
    QList<DirEntry> entries = {Entry(0, {}, 100), Entry(1, {}, 50), Entry(2, {}, 7)};
    entries[0].Selected = 1;
    entries[2].Selected = 1;
    EXPECT_EQ(DownloadLineTotal(entries, false), 2 * (103 + 10));
    EXPECT_EQ(DownloadLineTotal(entries, true), 2 * (103 + 10) + 2);
}

// The counts of a DIR reply are the instrument's text: huge or negative ones
// give a total at the top of the range or count as none, never a wrapped one.
TEST(DownloadLineTotal, HugeAndNegativeCountsNeitherWrapNorSubtract) {
    QList<DirEntry> entries = {Entry(0, {}, 2147483647), Entry(1, {}, 2147483647),
                               Entry(2, {}, -401)};
    for (DirEntry& entry : entries) entry.Selected = 1;
    EXPECT_EQ(DownloadLineTotal(entries, true), 2147483647);
    entries[0].Selected = 0;
    entries[1].Selected = 0;
    EXPECT_EQ(DownloadLineTotal(entries, false), 2 * 3);
}

class DownloadRun : public DownloadFixture {
protected:
    DownloadSession::Outcome Download(QList<DirEntry>& entries,
                                      DownloadSession::Options options = {},
                                      bool answerLimit = true) {
        DownloadSession session(link);
        return session.Run(
            entries, options,
            [this](const DirEntry& entry, int number, QString& reply) {
                auto document = std::make_unique<Document>();
                document->bKapula = true;
                const ReplyFill fill =
                    FillDocumentFromReply(*document, reply, link.State(), &link.Progress());
                NoteReplyFill(fill, link.State());
                if (!fill.messageKey.isEmpty())
                    ShowMessage(link.State().MessageKey, link.Context(), presenter);
                if (whileReading) whileReading(number);
                numbers << number;
                names << entry.Name;
                if (fill.failed) return false;
                documents.push_back(std::move(document));
                return true;
            },
            [this, answerLimit] {
                ++limitQuestions;
                return answerLimit;
            });
    }

    // Runs while a file is read into its document (the window lets events run
    // there, so Cancel can be pressed).
    std::function<void(int number)> whileReading;
    std::vector<std::unique_ptr<Document>> documents;
    QList<int> numbers;
    QStringList names;
    int limitQuestions = 0;
};

TEST_F(DownloadRun, OnlyTheLastPlayClosesTheLink) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    entries[2].Selected = 1;
    entries[4].Selected = 1;
    EXPECT_EQ(Download(entries), DownloadSession::Outcome::Done);
    EXPECT_EQ(Commands(), (QStringList{"DIR", "PLAY 0", "PLAY 2", "PLAY 4", "EXIT"}).mid(1));
    ASSERT_EQ(documents.size(), 3u);
    EXPECT_EQ(numbers, (QList<int>{1, 2, 3}));
    EXPECT_EQ(documents.at(1)->PointCount(), 12);
    EXPECT_EQ(documents.at(2)->Title, QStringLiteral("Lager"));
    EXPECT_FALSE(link.State().CommandFailed);
    EXPECT_FALSE(link.State().LinkBusy);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DownloadRun, TheRangeFormGoesToFilesThatSupportIt) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    entries[2].Selected = 1;  // no range support
    DownloadSession::Options options;
    options.range = true;
    options.from = QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0));
    options.to = QDateTime(QDate(2026, 11, 2), QTime(8, 1, 0));
    options.deleteAfter = true;
    EXPECT_EQ(Download(entries, options), DownloadSession::Outcome::Done);
    EXPECT_EQ(Commands(),
              (QStringList{"PLAY 0 2026-11-02 08:00:00 2026-11-02 08:01:00", "PLAY 2"}));
    EXPECT_EQ(documents.at(0)->PointCount(), 7);  // 08:00:00 to 08:01:00 every 10 s
    EXPECT_EQ(link.State().LineTotal, 2 * (1000 + 3 + 12 + 3) + 2);
}

TEST_F(DownloadRun, AFileDeletedMeanwhileShowsCannotDownload) {
    QList<DirEntry> entries = Directory();
    entries[1].Selected = 1;
    instrument.Faults().filesGone = true;
    EXPECT_EQ(Download(entries), DownloadSession::Outcome::FileGone);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Cannot download")});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_TRUE(documents.empty());
}

TEST_F(DownloadRun, CancelAtThe65000PointNoticeStops) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    entries[3].Selected = 1;  // 70000 points
    entries[4].Selected = 1;
    EXPECT_EQ(Download(entries, {}, false), DownloadSession::Outcome::StoppedByUser);
    EXPECT_EQ(limitQuestions, 1);
    EXPECT_EQ(documents.size(), 1u);  // the file before stays
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_FALSE(link.State().strMsgReady);
    EXPECT_FALSE(Commands().contains(QStringLiteral("PLAY 4")));
}

// Regression: Cancel pressed while a file was read into its document was
// cleared by the next PLAY; the download went on and, with "delete after
// download", the files were deleted although the user had cancelled.
TEST_F(DownloadRun, CancelWhileAFileIsReadStopsBeforeTheNextFileAndTheDeletion) {
    for (const int cancelAt : {1, 3}) {
        SCOPED_TRACE(cancelAt);
        documents.clear();
        numbers.clear();
        QList<DirEntry> entries = Directory();
        entries[0].Selected = 1;
        entries[2].Selected = 1;
        entries[4].Selected = 1;
        DownloadSession::Options options;
        options.deleteAfter = true;
        whileReading = [&](int number) {
            if (number == cancelAt) link.Cancel();
        };
        const qsizetype before = instrument.CommandLog().size();
        EXPECT_EQ(Download(entries, options), DownloadSession::Outcome::StoppedByUser);
        // The file being read is kept; no later file is fetched.
        EXPECT_EQ(documents.size(), static_cast<size_t>(cancelAt));
        const QStringList sent = instrument.CommandLog().mid(before);
        EXPECT_EQ(sent.count(QStringLiteral("PLAY 4")), cancelAt == 3 ? 1 : 0);
        EXPECT_EQ(sent.last(), QStringLiteral("EXIT"));
        EXPECT_EQ(link.State().OpenPort, 0);
    }
    // The cancel belonged to that download: the next one runs to its end.
    whileReading = nullptr;
    documents.clear();
    QList<DirEntry> entries = Directory();
    entries[2].Selected = 1;
    EXPECT_EQ(Download(entries), DownloadSession::Outcome::Done);
    EXPECT_EQ(documents.size(), 1u);
}

TEST_F(DownloadRun, OkAtThe65000PointNoticeKeeps65000Points) {
    QList<DirEntry> entries = Directory();
    entries[3].Selected = 1;
    EXPECT_EQ(Download(entries, {}, true), DownloadSession::Outcome::Done);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents.at(0)->PointCount(), 65000);
    EXPECT_EQ(documents.at(0)->QuantityCount(), 8);
}

TEST_F(DownloadRun, AGarbledLineFailsTheParseAndDropsTheDocument) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    entries[4].Selected = 1;
    instrument.Faults().garbleLine = 5;
    EXPECT_EQ(Download(entries), DownloadSession::Outcome::ParseFailed);
    EXPECT_TRUE(documents.empty());
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_TRUE(link.State().CommandFailed);
    EXPECT_EQ(names, QStringList{QStringLiteral("Lab 1")});
}

TEST_F(DownloadRun, ASilentInstrumentIsATransferFailure) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;
    instrument.Faults().silentAfter = 1;  // answers ECHO OFF, then nothing
    EXPECT_EQ(Download(entries), DownloadSession::Outcome::TransferFailed);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_TRUE(documents.empty());
}

// Regression: a download that stopped between files (a file gone, a garbled
// reply, Cancel at the 65000-point notice) left the instrument's line open:
// no EXIT, and the link still counted as open.
TEST_F(DownloadRun, ADownloadThatStopsBetweenFilesClosesTheLink) {
    enum Stop { Gone, Garbled, Cancelled };
    for (Stop stop : {Gone, Garbled, Cancelled}) {
        SCOPED_TRACE(stop);
        instrument.Faults() = SimFaults();
        if (stop == Gone) instrument.Faults().filesGone = true;
        if (stop == Garbled) instrument.Faults().garbleLine = 5;
        QList<DirEntry> entries = Directory();
        entries[stop == Cancelled ? 3 : 0].Selected = 1;  // 70000 points when cancelled
        entries[4].Selected = 1;
        const qsizetype before = instrument.CommandLog().size();
        const DownloadSession::Outcome outcome = Download(entries, {}, false);
        EXPECT_NE(outcome, DownloadSession::Outcome::Done);
        EXPECT_EQ(instrument.CommandLog().mid(before).last(), QStringLiteral("EXIT"));
        EXPECT_FALSE(instrument.LineOpen());
        EXPECT_EQ(link.State().OpenPort, 0);
    }
}

TEST_F(DownloadRun, FilesCutAt65000PointsOrReadByRangeAreKeptFromTheDeletion) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;  // read by range: 7 of 1000 points
    entries[2].Selected = 1;  // no range support: read whole
    entries[3].Selected = 1;  // 70000 points: cut at 65000
    DownloadSession::Options options;
    options.range = true;
    options.from = QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0));
    options.to = QDateTime(QDate(2026, 11, 2), QTime(8, 1, 0));
    options.deleteAfter = true;
    DownloadSession session(link);
    ASSERT_EQ(session.Run(
                  entries, options, [](const DirEntry&, int, QString&) { return true; },
                  [] { return true; }),
              DownloadSession::Outcome::Done);
    EXPECT_EQ(session.Incomplete(), (QList<qint32>{0, 3}));
    // A range and the 65000-point cut are what the user asked for or was
    // asked about: neither is a file that ended early.
    EXPECT_TRUE(session.FilesEndedEarly().isEmpty());
    EXPECT_EQ(session.KeepIncomplete(entries), 2);
    EXPECT_EQ(SelectedCount(entries), 1);
    EXPECT_TRUE(entries[2].Selected);
}

// Regression: a file whose reply ended with fewer points than the directory
// listed counted as whole, and "delete after download" deleted the readings
// that never came.
TEST_F(DownloadRun, AFileThatEndsShortOfItsListedPointsIsKeptFromTheDeletion) {
    QList<DirEntry> entries = Directory();
    entries[0].Selected = 1;            // 1000 points listed
    entries[2].Selected = 1;            // 12 points, all of them come
    instrument.Files()[0].lines = 400;  // the instrument sends only 400
    DownloadSession::Options options;
    options.deleteAfter = true;
    DownloadSession session(link);
    qint32 received = 0;
    ASSERT_EQ(session.Run(
                  entries, options,
                  [&](const DirEntry& entry, int, QString& reply) {
                      Document document;
                      document.bKapula = true;
                      const ReplyFill fill =
                          FillDocumentFromReply(document, reply, link.State(), &link.Progress());
                      if (entry.Index == 0) received = document.PointCount();
                      return !fill.failed;
                  },
                  [] { return true; }),
              DownloadSession::Outcome::Done);
    EXPECT_EQ(received, 400);
    EXPECT_EQ(session.Incomplete(), QList<qint32>{0});
    EXPECT_EQ(session.KeepIncomplete(entries), 1);
    EXPECT_FALSE(entries[0].Selected);
    EXPECT_TRUE(entries[2].Selected);
    // Its window looks like the whole file: the user is told which file, and
    // how many of its points came.
    ASSERT_EQ(session.FilesEndedEarly().size(), 1);
    const DownloadSession::EndedEarly& early = session.FilesEndedEarly().first();
    EXPECT_EQ(early.index, 0);
    EXPECT_EQ(early.received, 400);
    EXPECT_EQ(early.listed, 1000);
    EXPECT_EQ(EndedEarlyText(early),
              QStringLiteral("Filen Lab 1 hämtades inte hel: instrumentet skickade 400 av 1000 "
                             "datapunkter.\nFilen finns kvar i instrumentet."));

    // The next run starts with nothing of this one: every point comes now.
    instrument.Files()[0].lines = 1000;
    entries = Directory();
    entries[0].Selected = 1;
    ASSERT_EQ(
        session.Run(
            entries, {}, [](const DirEntry&, int, QString&) { return true; }, [] { return true; }),
        DownloadSession::Outcome::Done);
    EXPECT_TRUE(session.FilesEndedEarly().isEmpty());
    EXPECT_TRUE(session.Incomplete().isEmpty());
}

// Regression: a range download's bar was sized for the whole file.
TEST(DownloadPlan, ARangeCountsOnlyThePointsInTheRange) {
    DirEntry lab = Entry(0, QStringLiteral("1000"), 1000);
    lab.FirstPointTime = QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0));
    lab.IntervalUnit = 2;  // every 10 s
    lab.IntervalValue = 10;
    lab.Selected = 1;
    DirEntry plain = Entry(1, QString(), 720);
    plain.FirstPointTime = lab.FirstPointTime;
    plain.IntervalUnit = 8;
    plain.IntervalValue = 1;
    plain.Selected = 1;
    DirEntry manual = Entry(2, QStringLiteral("12"), 12);
    manual.FirstPointTime = lab.FirstPointTime;
    manual.IntervalUnit = 2;
    manual.Selected = 1;
    DirEntry big = Entry(3, QStringLiteral("70000"), 70000);
    big.Selected = 1;
    const QList<DirEntry> table{lab, plain, manual, big};

    DownloadSession::Options options;
    EXPECT_EQ(DownloadPlan(table, options), (QList<qint32>{1000, 720, 12, 65000}));
    options.range = true;
    options.from = QDateTime(QDate(2026, 11, 2), QTime(8, 0, 5));
    options.to = QDateTime(QDate(2026, 11, 2), QTime(8, 1, 0));
    EXPECT_EQ(DownloadPlan(table, options), (QList<qint32>{6, 720, 12, 65000}))
        << "08:00:10 to 08:01:00 of Lab 1; no range for the second; the third is manual";
    options.from = QDateTime(QDate(2026, 11, 3), QTime(0, 0, 0));
    options.to = QDateTime(QDate(2026, 11, 4), QTime(0, 0, 0));
    EXPECT_EQ(DownloadPlan(table, options).first(), 0) << "after the file's last point";
}
