// The recorded-data parser: downloaded replies and real-time replies, every
// check, the 65000-point limit and the progress counters.
#include <gtest/gtest.h>

#include "ParserFixture.h"
#include "sim/Instrument.h"

namespace {

double Ole(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return ToOleDate(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

}  // namespace

using DownloadedReply = ParserFixture;

TEST_F(DownloadedReply, FillsTheDocument) {
    Parse(Reply({"12-03-05 14:00:00\t45.2\t21.37", "12-03-05 14:00:10\t-\t21.40"}));
    ASSERT_FALSE(failed);
    EXPECT_FALSE(state.CommandFailed);
    EXPECT_EQ(document.Title, QStringLiteral("Store room"));
    ASSERT_EQ(document.QuantityCount(), 2);
    EXPECT_EQ(document.Quantity(0).Name, QStringLiteral("RH"));
    EXPECT_EQ(document.Quantity(1).Unit, QStringLiteral("C"));
    ASSERT_EQ(document.PointCount(), 2);
    EXPECT_EQ(document.Value(1, 0).Valid, 0);
    EXPECT_EQ(document.Value(1, 1).Value, 21.4f);
    EXPECT_EQ(document.StartTime, Ole(2012, 3, 5, 14, 0, 0));
    EXPECT_EQ(document.StopTime, Ole(2012, 3, 5, 14, 0, 10));
    EXPECT_EQ(document.Info.Interval, QStringLiteral("10 s"));
    EXPECT_EQ(document.Info.Duration, QStringLiteral("0:00:10"));
    EXPECT_EQ(document.Info.Points, QStringLiteral("2"));
    EXPECT_EQ(document.Quantity(1).Mean, 21.385f);
    EXPECT_FALSE(document.HeaderPending);
    EXPECT_EQ(host.documentCommands, QList<bool>{true});
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DownloadedReply, CleansTheNameForTitleAndCaption) {
    Parse(QStringLiteral(
        "K\u00f6ld: rum/1 \u0090\t.\t0\t0200\r\n\tT\r\n\tC\r\n12-03-05 14:00:00\t1\r\n"));
    ASSERT_FALSE(failed);
    EXPECT_EQ(document.Title, QStringLiteral("K\u00f6ld: rum/1 [I]"));
    EXPECT_EQ(document.Info.Caption, QStringLiteral("K\u00f6ld_ rum_1 [I]"));
}

TEST_F(DownloadedReply, RefusesEmptyBlankAndUnendedReplies) {
    for (const QString& reply :
         {QString(), QStringLiteral(" "), QStringLiteral("x\t.\t0\t0200\r\n")}) {
        state.CommandFailed = false;
        Parse(reply, false);
        EXPECT_TRUE(failed);
        EXPECT_TRUE(state.CommandFailed);
        EXPECT_EQ(document.QuantityCount(), 0);
    }
    // Each refusal is told: a download that stops must say why.
    EXPECT_EQ(presenter.Keys(), QStringList(3, QStringLiteral("Communication Errors")));
}

TEST_F(DownloadedReply, RefusesCtrlZAloneAtTheHeaderCheck) {
    Parse(QString(QChar(0x1A)), false);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
}

TEST_F(DownloadedReply, RefusesAHeaderWithoutThreeTabs) {
    Parse(QStringLiteral(
        "Store room\t12-03-05 14:00:00\t1\r\n\tT\r\n\tC\r\n12-03-05 14:00:00\t1\r\n"));
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(document.QuantityCount(), 0);
}

TEST_F(DownloadedReply, RefusesUnitsThatDoNotMatchTheNames) {
    Parse(Reply({"12-03-05 14:00:00\t1\t2"}, "020A", "\tRH\tT", "\t%RH"));
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(document.PointCount(), 0);
    // Regression: the download dialog said nothing and skipped the rest.
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
}

TEST_F(DownloadedReply, RefusesNineQuantities) {
    Parse(Reply({"12-03-05 14:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9"}, "020A",
                "\ta\tb\tc\td\te\tf\tg\th\ti", "\t1\t2\t3\t4\t5\t6\t7\t8\t9"));
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(document.QuantityCount(), 0);
}

TEST_F(DownloadedReply, MonthThirteenEndsTheParseWithCommunicationErrors) {
    Parse(Reply({"07-12-01 12:00:00\t1\t2", "07-13-01 12:00:00\t1\t2", "07-12-01 12:00:10\t1\t2"}));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_EQ(
        presenter.shown.at(0).text,
        QStringLiteral("Ett kommunikationsfel intr\u00e4ffade. F\u00f6rs\u00f6k p\u00e5 nytt."));
    EXPECT_EQ(state.MessageKey, QStringLiteral("Communication Errors"));
    EXPECT_TRUE(host.documentCommands.isEmpty());
}

TEST_F(DownloadedReply, ReadsBothCenturiesAndSixteenCharacterStamps) {
    Parse(Reply({"38-01-01 00:00:00\t1\t2", "39-01-01 00:00:00\t1\t2", "12-03-0514:00:07\t1\t2",
                 "12-03-05 14:00:07\t1\t2"}));
    ASSERT_FALSE(failed);
    EXPECT_EQ(document.PointTime(0), Ole(2038, 1, 1));
    EXPECT_EQ(document.PointTime(1), Ole(1939, 1, 1));
    EXPECT_EQ(document.PointTime(2), Ole(2012, 3, 5, 14, 0, 7));
    EXPECT_EQ(document.PointTime(3), document.PointTime(2));
}

TEST_F(DownloadedReply, AcceptsOneExtraTabBeforeTheLineEndButNotTwo) {
    Parse(Reply({"12-03-05 14:00:00\t1\t2\t", "12-03-05 14:00:01\t3\t4"}));
    ASSERT_FALSE(failed);
    EXPECT_EQ(document.PointCount(), 2);
    EXPECT_EQ(document.Value(0, 1).Value, 2.0f);

    Document other;
    other.bKapula = true;
    const QString reply =
        Reply({"12-03-05 14:00:00\t1\t2\t\t", "12-03-05 14:00:01\t3\t4"}) + QChar(0x1A);
    EXPECT_TRUE(FillAndTell(other, reply, state, &presenter).failed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
}

TEST_F(DownloadedReply, MissingReadingsAreInvalidAndTheOthersAreTaken) {
    Parse(Reply({"12-03-05 14:00:00\t-\t21.5", "12-03-05 14:00:01\t45.25\t----",
                 "12-03-05 14:00:02\t\t21.75"}));
    ASSERT_FALSE(failed);
    EXPECT_EQ(document.Value(0, 0).Valid, 0);
    EXPECT_EQ(document.Value(0, 1).Value, 21.5f);
    EXPECT_EQ(document.Value(1, 0).Value, 45.25f);
    EXPECT_EQ(document.Value(1, 1).Valid, 0);
    EXPECT_EQ(document.Value(2, 0).Valid, 0);
    EXPECT_EQ(document.Value(2, 1).Value, 21.75f);
}

TEST_F(DownloadedReply, DecimalsComeFromTheFirstReading) {
    Parse(Reply({"12-03-05 14:00:00\t-\t21.35", "12-03-05 14:00:01\t45\t21.4"}));
    EXPECT_EQ(document.Quantity(1).Decimals, 2);
    EXPECT_EQ(document.Quantity(0).Decimals, 0);
}

TEST_F(DownloadedReply, IntervalFields) {
    Parse(Reply({"12-03-05 14:00:00\t1\t2"}, "020A"));
    EXPECT_EQ(document.IntervalUnit, 2);
    EXPECT_EQ(document.IntervalValue, 10);
    EXPECT_EQ(document.Info.Interval, QStringLiteral("10 s"));
    EXPECT_EQ(document.Info.RecordingKind, QStringLiteral("Automatiskt registrerad data"));

    Document manual;
    FillAndTell(manual,
                Reply({"12-03-05 14:00:00\t1\t2", "12-03-05 15:00:00\t1\t2"}, "0200") + QChar(0x1A),
                state, nullptr);
    EXPECT_EQ(manual.IntervalValue, 0);
    EXPECT_EQ(manual.Info.Interval, QString());
    EXPECT_EQ(manual.Info.Duration, QString());
    EXPECT_EQ(manual.Info.RecordingKind, QStringLiteral("Manuellt registrerade data"));
}

TEST_F(DownloadedReply, AFileWithoutPointsGivesAnEmptyDocumentWithoutAMessage) {
    Parse(Reply({}));
    EXPECT_FALSE(failed);
    EXPECT_FALSE(state.CommandFailed);
    EXPECT_EQ(document.PointCount(), 0);
    EXPECT_EQ(document.QuantityCount(), 2);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(document.StartTime, Ole(2012, 3, 5, 14, 0, 0));
}

TEST_F(DownloadedReply, KeepsExactly65000PointsOfALongerReply) {
    Instrument instrument;
    const SimFile& log = instrument.Files().at(3);
    ASSERT_EQ(log.lines, 70000);
    ParseBytes(instrument.PlayReply(3));
    ASSERT_FALSE(failed);
    ASSERT_EQ(document.PointCount(), kMaxPoints);
    EXPECT_EQ(document.Info.Points, QStringLiteral("65000"));
    EXPECT_EQ(document.StopTime, ToOleDate(log.PointTime(64999)));
    // The rest of the reply is dropped, not refused.
    const RecordedData data = ParseRecordedData(DecodeInstrumentBytes(instrument.PlayReply(3)), {});
    EXPECT_TRUE(data.truncated);
    EXPECT_EQ(data.error, ReplyError::None);
    EXPECT_EQ(data.dataLines, kMaxPoints + 1);
}

TEST_F(DownloadedReply, ReadsTheSimulatorsFilesAsGenerated) {
    Instrument instrument;
    for (int f : {0, 1, 2, 4}) {
        Document parsed;
        parsed.bKapula = true;
        ASSERT_FALSE(
            FillAndTell(parsed, DecodeInstrumentBytes(instrument.PlayReply(f)), state, &presenter)
                .failed)
            << f;
        const SimFile& file = instrument.Files().at(f);
        ASSERT_EQ(parsed.PointCount(), file.lines) << f;
        ASSERT_EQ(parsed.QuantityCount(), file.quantities.size());
        for (qint32 i = 0; i < file.lines; i += 97) {
            const QList<QByteArray> fields = file.DataLine(i).split('\t');
            EXPECT_EQ(parsed.PointTime(i), ToOleDate(file.PointTime(i))) << f << ' ' << i;
            for (int q = 0; q < parsed.QuantityCount(); ++q) {
                bool number = false;
                const float expected = fields.at(q + 1).toFloat(&number);
                EXPECT_EQ(parsed.Value(i, q).Valid, number ? 1 : 0) << f << ' ' << i << ' ' << q;
                if (number) {
                    EXPECT_EQ(parsed.Value(i, q).Value, expected);
                }
            }
        }
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DownloadedReply, CountsLinesIntoTheProgress) {
    state.LineTotal = 2 * (3 + 3);
    state.LineCount = 6;  // the receive handler counted the reply's lines
    progress.SetFileRows(3);
    Parse(Reply({"12-03-05 14:00:00\t1\t2", "12-03-05 14:00:01\t1\t2", "12-03-05 14:00:02\t1\t2"}));
    EXPECT_EQ(state.LineCount, 6 + 3 + 3);
    EXPECT_GE(host.yields, 3);  // once per data line, and the statistics' turns
    EXPECT_DOUBLE_EQ(progress.Value(), 12.0 / 12.0 * 100.0);
}

TEST_F(DownloadedReply, TakesATotalOfZeroAsOne) {
    state.LineTotal = 0;
    state.LineCount = 0;
    Parse(Reply({"12-03-05 14:00:00\t1\t2"}));
    EXPECT_EQ(state.LineTotal, 1);
    EXPECT_EQ(state.LineCount, 4);
}

TEST_F(DownloadedReply, AClosingWindowStopsTheParse) {
    class ClosingHost : public DocumentHost {
    public:
        explicit ClosingHost(Document& d) : d_(d) {}
        void Yield() override { d_.bExit = true; }
        Document& d_;
    };
    ClosingHost closing(document);
    FillAndTell(document,
                Reply({"12-03-05 14:00:00\t1\t2", "12-03-05 14:00:01\t3\t4"}) + QChar(0x1A), state,
                &presenter, &closing);
    EXPECT_EQ(document.PointCount(), 0);
    EXPECT_TRUE(document.HeaderPending);
    EXPECT_FALSE(state.CommandFailed);
}

class RealTimeReply : public ParserFixture {
protected:
    void SetUp() override {
        document.bRealTime = true;
        document.IntervalUnit = 2;
        document.IntervalValue = 5;
        progress.Load();
    }
    static QString First() {
        return QStringLiteral("3\tT\tRH\r\n\tC\t%RH\r\n26-11-02 10:00:00\t21.5\t45.0\r\n");
    }
};

TEST_F(RealTimeReply, FirstReplyHoldsNamesUnitsAndAReading) {
    Parse(First());
    ASSERT_FALSE(failed);
    ASSERT_EQ(document.QuantityCount(), 2);
    EXPECT_EQ(document.Quantity(0).Name, QStringLiteral("T"));
    EXPECT_EQ(document.Quantity(1).Unit, QStringLiteral("%RH"));
    EXPECT_EQ(document.PointCount(), 1);
    EXPECT_FALSE(document.HeaderPending);
    EXPECT_FALSE(progress.IsLoaded());  // the first reply closes the progress window
    EXPECT_EQ(document.Info.RecordingKind, QStringLiteral("Data i realtidsf\u00f6nstret"));
    EXPECT_EQ(document.Info.Stop, QString());
}

TEST_F(RealTimeReply, LaterRepliesHoldDataLinesOnly) {
    Parse(First());
    Parse(QStringLiteral("26-11-02 10:00:05\t21.6\t45.5\r\n"));
    Parse(QString(QChar(0x1A)) + QStringLiteral("26-11-02 10:00:10\t21.7\t46.0\r\n"));
    ASSERT_FALSE(failed);
    ASSERT_EQ(document.PointCount(), 3);
    EXPECT_EQ(document.Value(2, 0).Value, 21.7f);
    EXPECT_EQ(document.Quantity(0).Maximum, 21.7f);
    EXPECT_EQ(document.Info.Duration, QStringLiteral("0:00:10"));
}

TEST_F(RealTimeReply, AReplyWithoutALineStopsQuietly) {
    Parse(First());
    Parse(QString(QChar(0x1A)), false);
    EXPECT_FALSE(state.CommandFailed);
    EXPECT_EQ(document.PointCount(), 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
    Parse(QStringLiteral("26-11-02 10:00:05\t21.6\t45.5\r\n"), false);  // no end mark: ignored
    EXPECT_FALSE(state.CommandFailed);
    EXPECT_EQ(document.PointCount(), 1);
}

TEST_F(RealTimeReply, ABadTimeStampDropsItsPointAndStopsTheWindow) {
    Parse(First());
    Parse(QStringLiteral("26-13-02 10:00:05\t21.6\t45.5\r\n"));
    EXPECT_TRUE(failed);
    EXPECT_EQ(document.PointCount(), 1);
    EXPECT_EQ(host.stopReal, 1);
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("Communication Errors")});
    EXPECT_FALSE(state.CommandFailed);
}

// Regression: a real-time line refused for its TAB count added no point, yet
// the point before it (a good reading) was taken back.
TEST_F(RealTimeReply, ATabCountFailureKeepsThePreviousPoint) {
    Parse(First());
    Parse(QStringLiteral("26-11-02 10:00:05\t21.6\r\n"));
    EXPECT_TRUE(failed);
    ASSERT_EQ(document.PointCount(), 1);
    EXPECT_EQ(document.Value(0, 0).Value, 21.5f);
    EXPECT_EQ(host.stopReal, 1);
}

TEST_F(RealTimeReply, AFailureOfTheFirstPointSetsCommandFailed) {
    Parse(QStringLiteral("3\tT\tRH\r\n\tC\t%RH\r\n26-11-02 10:00:00\t21.5\r\n"));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_EQ(document.PointCount(), 0);
    EXPECT_EQ(host.stopReal, 1);
}

TEST_F(RealTimeReply, StopsTheWindowAt65000Points) {
    Parse(First());
    QString lines;
    const QDateTime start(QDate(2026, 11, 2), QTime(10, 0, 5));
    for (int i = 1; i < kMaxPoints; ++i)
        lines += start.addSecs(i).toString(QStringLiteral("yy-MM-dd hh:mm:ss")) +
                 QStringLiteral("\t1\t2\r\n");
    Parse(lines);
    ASSERT_EQ(document.PointCount(), kMaxPoints);
    EXPECT_EQ(host.stopRealTimeLimit, QList<bool>{true});
    Parse(QStringLiteral("27-01-01 00:00:00\t1\t2\r\n"));
    EXPECT_EQ(document.PointCount(), kMaxPoints);
}

// The parse on its own: what the reply holds, and where and why it was refused.
TEST(ParseRecordedData, GivesTheHeaderQuantitiesAndPoints) {
    const RecordedData data = ParseRecordedData(
        u"K\u00f6ld \u0090\t12-03-05 14:00:00\t2\t020A\r\n\tRH\tT\r\n\t%RH\tC\r\n"
        u"12-03-05 14:00:00\t-\t21.37\r\n12-03-05 14:00:10\t45.2\t21.4\r\n\x1A",
        {});
    ASSERT_TRUE(data.Complete());
    ASSERT_TRUE(data.header);
    EXPECT_EQ(data.header->name, QStringLiteral("K\u00f6ld \u0090"));  // cleaned by the caller
    EXPECT_EQ(data.header->start, QDateTime(QDate(2012, 3, 5), QTime(14, 0, 0)));
    EXPECT_EQ(data.header->count, QStringLiteral("2"));
    EXPECT_EQ(data.header->intervalUnit, 2);
    EXPECT_EQ(data.header->intervalValue, 10);
    ASSERT_EQ(data.quantities.size(), 2);
    EXPECT_EQ(data.quantities.at(1).name, QStringLiteral("T"));
    EXPECT_EQ(data.quantities.at(0).unit, QStringLiteral("%RH"));
    EXPECT_EQ(data.firstDecimals, (QList<qint16>{1, 2}));
    EXPECT_EQ(data.points.Times.size(), 2u);
    EXPECT_EQ(data.points.Valid, (std::vector<quint8>{0, 1, 1, 1}));
    EXPECT_EQ(data.points.Values, (std::vector<float>{0.0f, 21.37f, 45.2f, 21.4f}));
    EXPECT_EQ(data.dataLines, 2);
}

TEST(ParseRecordedData, NamesTheErrorAndTheLineItWasFoundIn) {
    const QString head = QStringLiteral("n\t.\t2\t020A\r\n\tT\tRH\r\n\tC\t%\r\n");
    const QString good = QStringLiteral("12-03-05 14:00:00\t1\t2\r\n");
    const QString end(QChar(0x1A));
    struct Case {
        QString reply;
        ReplyError error;
        qint32 line;
        size_t points;
    };
    const Case cases[] = {
        {QString(), ReplyError::Unended, 0, 0},
        {head + good, ReplyError::Unended, 0, 0},
        {QStringLiteral("n\t.\t2\r\n") + end, ReplyError::Header, 1, 0},
        {QStringLiteral("n\t.\t2\t020A\r\n\tT\tRH\r\n\tC\r\n") + end, ReplyError::Columns, 3, 0},
        {head + good + QStringLiteral("12-03-05 14:00:01\t1\r\n") + end, ReplyError::FieldCount, 5,
         1},
        {head + QStringLiteral("12-13-05 14:00:00\t1\t2\r\n") + good + end, ReplyError::TimeStamp,
         4, 0},
    };
    for (const Case& c : cases) {
        const RecordedData data = ParseRecordedData(c.reply, {});
        EXPECT_EQ(data.error, c.error) << c.reply.toStdString();
        EXPECT_EQ(data.errorLine, c.line) << c.reply.toStdString();
        EXPECT_EQ(data.points.Times.size(), c.points) << c.reply.toStdString();
        EXPECT_FALSE(data.Complete());
    }
}

TEST(ParseRecordedData, TheProgressCallbackSeesEveryLineAndCanStop) {
    const QString reply = QStringLiteral(
        "n\t.\t3\t020A\r\n\tT\r\n\tC\r\n12-03-05 14:00:00\t1\r\n12-03-05 "
        "14:00:01\t2\r\n12-03-05 14:00:02\t3\r\n\x1A");
    QList<qint32> seen;
    const RecordedData data = ParseRecordedData(reply, {}, [&seen](qint32 line) {
        seen << line;
        return line < 2;
    });
    EXPECT_EQ(seen, (QList<qint32>{1, 2}));
    EXPECT_TRUE(data.cancelled);
    EXPECT_EQ(data.dataLines, 1);
    EXPECT_EQ(data.points.Times.size(), 1u);
    EXPECT_EQ(data.error, ReplyError::None);
}

TEST(ParseRecordedData, APollReadsTheGivenQuantitiesUpToTheRoomLeft) {
    // The CTRL-Z of the exchange before, two readings and the end mark.
    const QString reply = QChar(0x1A) +
                          QStringLiteral("26-11-02 10:00:05\t21.6\r\n26-11-02 10:00:10\t21.7\r\n") +
                          QChar(0x1A);
    const RecordedData data =
        ParseRecordedData(reply, {ReplyForm::RealTimePoll, 1, kMaxPoints - 1});
    EXPECT_FALSE(data.header);
    EXPECT_TRUE(data.quantities.isEmpty());
    ASSERT_EQ(data.points.Times.size(), 1u);
    EXPECT_EQ(data.points.Values.at(0), 21.6f);
    EXPECT_TRUE(data.truncated);
}
