// The simulated instrument: what the program and the tool rely on it to do.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cmath>
#include <optional>

#include "sim/Instrument.h"
#include "support/SimProcess.h"

namespace {

// Sends a command line and collects everything the instrument says within 1 s.
QByteArray Say(Instrument& instrument, const QByteArray& line, qint64& now) {
    instrument.Receive(line + '\r', now);
    QByteArray out;
    for (int i = 0; i < 100; ++i) {
        now += 10;
        instrument.Tick(now);
        out += instrument.TakeOutput(now, 1 << 30);
    }
    return out;
}

QByteArray Wake(Instrument& instrument, qint64& now) {
    QByteArray burst("EXIT\r");
    for (int i = 0; i < 1152; ++i) burst += "\xFF\r";
    instrument.Receive(burst, now);
    QByteArray out;
    for (int i = 0; i < 20; ++i) {
        now += 10;
        instrument.Tick(now);
        out += instrument.TakeOutput(now, 1 << 30);
    }
    return out;
}

}  // namespace

TEST(SimInstrument, WakesEchoesUntilEchoOffAndClosesOnExit) {
    Instrument instrument;
    qint64 now = 0;
    EXPECT_EQ(Say(instrument, "VERS", now), QByteArray()) << "a closed line answers nothing";
    EXPECT_EQ(Wake(instrument, now), QByteArray("\r\nline opened for operator commands\a\r\n"));
    EXPECT_EQ(Say(instrument, "ECHO OFF", now), QByteArray("ECHO OFF\r\nOK\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "CAL", now), QByteArray("Calibrated\t2026-03-14\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "EXIT", now), QByteArray("\r\nline closed\r\n"));
    EXPECT_FALSE(instrument.LineOpen());
    // Waking an open line (echo is on again after a wake): the burst's EXIT
    // closes it first, then it reopens.
    Wake(instrument, now);
    EXPECT_EQ(Wake(instrument, now),
              QByteArray("EXIT\r\n\r\nline closed\r\n\r\nline opened for operator commands\a\r\n"));
}

TEST(SimInstrument, DeleteRenumbersAndRefusesUndeletableFiles) {
    Instrument instrument;
    qint64 now = 0;
    Wake(instrument, now);
    Say(instrument, "ECHO OFF", now);
    EXPECT_EQ(Say(instrument, "DEL 2", now), QByteArray("ERR\r\n\x1A")) << "Manuell is marked L";
    EXPECT_EQ(Say(instrument, "DEL 1", now), QByteArray("OK\r\n\x1A"));
    EXPECT_EQ(instrument.Files().at(1).name, QByteArray("Manuell"));
    EXPECT_EQ(Say(instrument, "DEL 9", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "DEL", now), QByteArray("OK\r\n\x1A"));
    ASSERT_EQ(instrument.Files().size(), 1);
    EXPECT_EQ(Say(instrument, "DIR", now),
              QByteArray("Manuell\t26-10-23 09:00:00\t12\t0200\tL\r\n\x1A"));
    instrument.Files().clear();
    EXPECT_EQ(Say(instrument, "DIR", now), QByteArray("\x1A"));
}

TEST(SimInstrument, PlayByRangeAndStoppedByEsc) {
    Instrument instrument;
    qint64 now = 0;
    Wake(instrument, now);
    Say(instrument, "ECHO OFF", now);
    // Lab 1: a point every 10 s from 08:00:00; 08:00:05..08:00:31 holds three.
    const QByteArray range = Say(instrument, "PLAY 0 2026-11-02 08:00:05 2026-11-02 08:00:31", now);
    EXPECT_TRUE(
        range.startsWith("Lab 1\t26-11-02 08:00:10\t3\t020A\r\n\tT\tRH\tTd\r\n\t\xB0"
                         "C\t%RH\t\xB0"
                         "C\r\n"));
    EXPECT_EQ(range.count("\r\n"), 6);
    EXPECT_EQ(Say(instrument, "PLAY 2 2026-11-02 08:00:05 2026-11-02 08:00:31", now),
              QByteArray("ERR\r\n\x1A"))
        << "Manuell has no range support";
    EXPECT_EQ(Say(instrument, "PLAY 17", now), QByteArray("\x1A")) << "no such file";

    instrument.Receive("PLAY 3\r", now);
    now += 50;
    QByteArray out = instrument.TakeOutput(now, 10000);
    instrument.Receive("\x1B", now);
    for (int i = 0; i < 10; ++i) out += instrument.TakeOutput(now += 10, 1 << 30);
    EXPECT_LT(out.size(), 11000) << "ESC stopped the 70000 lines";
    EXPECT_TRUE(out.endsWith('\x1A'));
    EXPECT_FALSE(instrument.HasOutput());
}

TEST(SimInstrument, GeneratedFilesAreDeterministicAndWellFormed) {
    Instrument a;
    Instrument b;
    EXPECT_EQ(a.PlayReply(1), b.PlayReply(1));
    const QByteArray reply = a.PlayReply(1);  // 8 quantities with missing values
    const QList<QByteArray> lines = reply.split('\n');
    ASSERT_EQ(lines.size(), 2500 + 3 + 1);
    for (int i = 3; i < 2503; ++i) ASSERT_EQ(lines.at(i).count('\t'), 8) << "line " << i;
    EXPECT_TRUE(reply.contains("\t----")) << "missing readings";
    EXPECT_TRUE(reply.contains("g/m\x8F")) << "the instrument's superscript 3";
    EXPECT_TRUE(a.PlayReply(5).startsWith("Tom\t.\t0\t021E\r\n")) << "an empty file has no start";
}

TEST(SimInstrument, ProbeQuantitiesAndRealTime) {
    Instrument instrument;
    qint64 now = 0;
    Wake(instrument, now);
    Say(instrument, "ECHO OFF", now);
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray("ERR\r\n\x1A")) << "no SEND n yet";
    EXPECT_EQ(Say(instrument, "UNIT 0 1 2 0 0 0 1", now), QByteArray("ERR\r\n\x1A")) << "too many";
    EXPECT_EQ(Say(instrument, "UNIT 0 1 2 0 0 0", now), QByteArray("OK\r\n\x1A"));
    const QByteArray first = Say(instrument, "SEND 5", now);
    EXPECT_TRUE(
        first.startsWith("3\tRH\tTd\r\n\t%RH\t\xB0"
                         "F\r\n"))
        << first.constData();
    EXPECT_EQ(Say(instrument, "SEND", now).count('\t'), 2);
    instrument.Faults().recording = true;
    EXPECT_EQ(Say(instrument, "UNIT 1 1 0 0 0 0", now), QByteArray("ERR\r\n\x1A"));
    instrument.Faults().noProbe = true;
    EXPECT_EQ(Say(instrument, "UNIT", now), QByteArray("\x1A"));
    EXPECT_EQ(Say(instrument, "VERS", now), QByteArray("TR58\r\n\x1A"));
}

TEST(SimInstrument, FileDescriptionsOfTheCommandLine) {
    SimFile file;
    QString error;
    ASSERT_TRUE(ParseSimFile("Big:70000:8:LX", 0, file, error)) << qPrintable(error);
    EXPECT_EQ(file.lines, 70000);
    EXPECT_EQ(file.quantities.size(), 8);
    EXPECT_FALSE(file.deletable);
    EXPECT_GT(file.quantities.first().missingEvery, 0);
    EXPECT_FALSE(ParseSimFile("Nine:10:9", 0, file, error));
    EXPECT_FALSE(ParseSimFile("Bad:ten:2", 0, file, error));
    EXPECT_FALSE(ParseSimFile("Flag:10:2:Q", 0, file, error));
    EXPECT_FALSE(ParseSimFile(":10:2", 0, file, error));
}

// Which answer wins when faults are injected: ECHO, TIME and EXIT always keep
// the line usable, a canned reply comes ahead of an injected "ERR", and a
// command the instrument does not know answers "ERR".
TEST(SimInstrument, LineCommandsAnswerThroughInjectedErrorsAndCannedRepliesWin) {
    Instrument instrument;
    qint64 now = 0;
    Wake(instrument, now);
    EXPECT_EQ(Say(instrument, "echo", now), QByteArray("echo\r\nERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "ECHO OFF", now), QByteArray("ECHO OFF\r\nOK\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "vers", now), QByteArray("TR58 PT-5\r\nSW 2.14 \r\n\x1A"));
    EXPECT_EQ(Say(instrument, "SNUM", now),
              QByteArray("Instrument\tT2640117\r\nProbe\tP5310862\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "UNIT", now),
              QByteArray("1\tT\t1\t\xB0"
                         "C\t\xB0"
                         "F\r\n2\tRH\t1\t%RH\r\n3\tTd\t0\t\xB0"
                         "C\t\xB0"
                         "F\r\n4\ta\t0\tg/m\x8F\tgr/ft\x8F\r\n5\tx\t0\tg/kg\tgr/lb\r\n"
                         "6\tTw\t0\t\xB0"
                         "C\t\xB0"
                         "F\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "HELLO", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "TIME 26 13 1 0 0 0", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "PLAY x", now), QByteArray("ERR\r\n\x1A"));

    instrument.Faults().errCommands.insert("DIR");
    EXPECT_EQ(Say(instrument, "DIR", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "CAL", now), QByteArray("Calibrated\t2026-03-14\r\n\x1A"));

    instrument.Faults().errReplies = true;
    instrument.Faults().canned.insert("VERS", "TR58 X\r\n\x1A");
    instrument.Faults().canned.insert("HELLO", "hi\r\n");
    instrument.Faults().canned.insert("TIME 26 11 2 12 0 0", "never\r\n");
    EXPECT_EQ(Say(instrument, "VERS", now), QByteArray("TR58 X\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "HELLO", now), QByteArray("hi\r\n"));
    EXPECT_EQ(Say(instrument, "SNUM", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "TIME 26 11 2 12 0 0", now), QByteArray("OK\r\n\x1A"));
    EXPECT_EQ(instrument.ClockTime(now).date(), QDate(2026, 11, 2));
    EXPECT_EQ(Say(instrument, "ECHO ON", now), QByteArray("OK\r\n\x1A")) << "echoes from the next";
    EXPECT_EQ(Say(instrument, "EXIT", now), QByteArray("EXIT\r\n\r\nline closed\r\n"));
}

namespace {

// One poll's reading: the time stamp and the values, or nothing when the
// reply is no single reading line.
struct Reading {
    QByteArray stamp;
    QList<double> values;
};
std::optional<Reading> ReadPoll(const QByteArray& reply) {
    static const QRegularExpression line(QStringLiteral(
        "^(\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)((?:\\t-?\\d+\\.\\d+)+)\\r\\n\\x1A$"));
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(reply));
    if (!match.hasMatch()) return std::nullopt;
    Reading reading;
    reading.stamp = match.captured(1).toLatin1();
    for (const QString& value : match.captured(2).mid(1).split(QLatin1Char('\t')))
        reading.values << value.toDouble();
    return reading;
}

// Real time started as the program starts it: TIME, then "SEND n".
void StartRealTime(Instrument& instrument, qint64& now) {
    Wake(instrument, now);
    Say(instrument, "ECHO OFF", now);
    Say(instrument, "TIME 26 11 2 10 0 0", now);
    ASSERT_TRUE(Say(instrument, "SEND 30", now).startsWith("3\tT\tRH\r\n"));
}

}  // namespace

TEST(SimInstrument, EveryPollGetsAReadingThatMovesWithTheClock) {
    Instrument instrument;
    qint64 now = 0;
    StartRealTime(instrument, now);
    QList<Reading> readings;
    for (int poll = 0; poll < 24; ++poll) {
        // A program polling every 30 s says EXIT between polls and wakes the
        // instrument again: the output keeps going.
        if (poll % 2 == 1) {
            Say(instrument, "EXIT", now);
            Wake(instrument, now);
            Say(instrument, "ECHO OFF", now);
        }
        const QByteArray reply = Say(instrument, "SEND", now);
        const std::optional<Reading> reading = ReadPoll(reply);
        ASSERT_TRUE(reading) << "poll " << poll << ": " << reply.constData();
        ASSERT_EQ(reading->values.size(), 2);
        readings << *reading;
        now += 30000 - 1000;
    }
    double lowT = 1e9, highT = -1e9, lowRh = 1e9, highRh = -1e9;
    for (int i = 0; i < readings.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(readings.at(i).stamp, readings.at(i - 1).stamp) << i;
        }
        const double t = readings.at(i).values.at(0), rh = readings.at(i).values.at(1);
        // T about 21.5 °C and RH about 45 %, each within the probe's swing.
        EXPECT_NEAR(t, 21.5, 0.81);
        EXPECT_NEAR(rh, 45.0, 0.85);
        if (i > 0) {
            EXPECT_LT(std::abs(t - readings.at(i - 1).values.at(0)), 0.5) << "no jumps";
        }
        lowT = std::min(lowT, t), highT = std::max(highT, t);
        lowRh = std::min(lowRh, rh), highRh = std::max(highRh, rh);
    }
    EXPECT_GT(highT - lowT, 0.5) << "12 minutes of readings are not flat";
    EXPECT_GT(highRh - lowRh, 0.5);
    EXPECT_EQ(readings.first().stamp, QByteArray("26-11-02 10:00:02"));

    // Other units end the output until SEND n starts it again.
    EXPECT_EQ(Say(instrument, "UNIT 2 1", now), QByteArray("OK\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray("ERR\r\n\x1A"));
    ASSERT_TRUE(Say(instrument, "SEND 30", now)
                    .startsWith("3\tT\tRH\r\n\t\xB0"
                                "F\t%RH\r\n"));
    const std::optional<Reading> fahrenheit = ReadPoll(Say(instrument, "SEND", now));
    ASSERT_TRUE(fahrenheit);
    EXPECT_NEAR(fahrenheit->values.at(0), 21.5 * 9 / 5 + 32, 1.5);
}

TEST(SimInstrument, PulledProbeAnswersErrToPollsAfterN) {
    Instrument instrument;
    instrument.Faults().sendErrAfter = 3;
    qint64 now = 0;
    StartRealTime(instrument, now);
    for (int poll = 1; poll <= 3; ++poll)
        EXPECT_TRUE(ReadPoll(Say(instrument, "SEND", now))) << "poll " << poll;
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray("ERR\r\n\x1A"));
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray("ERR\r\n\x1A")) << "and stays so";
    EXPECT_EQ(Say(instrument, "CAL", now), QByteArray("Calibrated\t2026-03-14\r\n\x1A"));
}

TEST(SimInstrument, PulledProbeFallsSilentToPollsAfterN) {
    Instrument instrument;
    instrument.Faults().sendSilentAfter = 2;
    qint64 now = 0;
    StartRealTime(instrument, now);
    EXPECT_TRUE(ReadPoll(Say(instrument, "SEND", now)));
    EXPECT_TRUE(ReadPoll(Say(instrument, "SEND", now)));
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray());
    EXPECT_EQ(Say(instrument, "SEND", now), QByteArray());
    EXPECT_EQ(Say(instrument, "CAL", now), QByteArray("Calibrated\t2026-03-14\r\n\x1A"))
        << "the line itself still answers";
}

// The faults as tr58sim takes them on its command line, through the tool.
TEST(SimInstrument, PulledProbeFaultsOfTheCommandLine) {
    SimProcess errSim;
    ASSERT_TRUE(errSim.Start({"--fault", "send-err-after=1"}));
    const QStringList host{"--host", errSim.TcpAddress(), "raw"};
    ToolRun run = RunTool(host + QStringList{"SEND 10"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    run = RunTool(host + QStringList{"SEND"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err) << "the first poll has its reading";
    EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d\\d \\d"))))
        << qPrintable(run.out);
    run = RunTool(host + QStringList{"SEND"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("ERR\n"));

    // A silent poll costs the link its full minute: that one is tested in
    // process above; here only that tr58sim takes the fault (it refuses to
    // start on one it does not know).
    SimProcess silentSim;
    EXPECT_TRUE(silentSim.Start({"--fault", "send-silent-after=0"}));
}
