// The real-time window in the program, offscreen against the in-process
// instrument: it opens with its first reading, polls, stops grey, and is
// saved as an ordinary document.
#include <sys/resource.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>
#include <csignal>

#include "app/frmDocument.h"
#include "base/MessageKeys.h"
#include "chart/ChartView.h"
#include "document/DataTableModel.h"
#include "download/frmDownloadFiles.h"
#include "realtime/RealTimeSession.h"
#include "realtime/RecordingJournal.h"
#include "realtime/frmRealTimeDisplaySettings.h"
#include "support/ProgramFixture.h"

namespace {

class RealTimeWindowTest : public ProgramFixture {
protected:
    frmDocument* Open() {
        main->Action(QStringLiteral("mnuRealTimeWindow"))->trigger();
        return main->RealTimeWindow();
    }
};

TEST_F(RealTimeWindowTest, OpensWithTheFirstReadingInTheTableAndTheChart) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(instrument.CommandLog().contains(QStringLiteral("SEND 5")));
    EXPECT_EQ(window->Caption(), QStringLiteral("Namnlös (Realtidsfönster)"));
    EXPECT_EQ(window->Doc().PointCount(), 1);
    EXPECT_EQ(window->TableModel()->rowCount(), 1);
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(main->Action(QStringLiteral("mnuStopRealTimeWindow"))->isEnabled());
    // The chart has something to draw: the quantities are charted.
    EXPECT_GE(window->Doc().ChartedCount(), 1);
    EXPECT_FALSE(window->Chart()->grab().isNull());

    // A poll adds the next reading to the table.
    window->Session()->OnTick();
    EXPECT_EQ(window->Doc().PointCount(), 2);
    EXPECT_EQ(window->TableModel()->rowCount(), 2);

    // The menu command again only brings the running window to the front.
    main->Action(QStringLiteral("mnuRealTimeWindow"))->trigger();
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
}

TEST_F(RealTimeWindowTest, StoppedWindowTurnsGreyAndIsSavedAsADocument) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    window->Session()->OnTick();
    // Both readings are on the disk already, in the window's journal.
    ASSERT_NE(window->Journal(), nullptr);
    const QString journal = window->Journal()->Path();
    Document kept;
    QString problem;
    ASSERT_TRUE(ReadJournal(journal, kept, problem)) << qPrintable(problem);
    EXPECT_EQ(kept.PointCount(), 2);
    presenter.answer = true;
    main->Action(QStringLiteral("mnuStopRealTimeWindow"))->trigger();
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kStopReal});
    EXPECT_FALSE(window->Doc().bRealTime);
    EXPECT_EQ(window->backgroundRole(), QPalette::Button);
    EXPECT_EQ(window->Caption(), QStringLiteral("Namnlös"));
    EXPECT_FALSE(main->Action(QStringLiteral("mnuStopRealTimeWindow"))->isEnabled());
    EXPECT_TRUE(main->Action(QStringLiteral("mnuRealTimeWindow"))->isEnabled());

    const QString path = dir.filePath(QStringLiteral("kylrum.t58"));
    QString proposed;
    dialogs.saveFileName = [&](const QString& name, int& filter) {
        proposed = name;
        filter = 0;
        return path;
    };
    ASSERT_TRUE(main->FileSave(*window));
    EXPECT_EQ(proposed, QStringLiteral("Namnlös"));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    // Two readings: two data lines after the names and units.
    EXPECT_EQ(bytes.count("\r\n26-11-02 "), 2) << bytes.toStdString();
    EXPECT_EQ(window->Doc().iSaved, Saved::kUnchanged);
    // Saved after it stopped: the journal has done its work.
    EXPECT_FALSE(QFile::exists(journal));
}

TEST_F(RealTimeWindowTest, NoProbeClosesTheWindowItOpened) {
    instrument.Faults().noProbe = true;
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kNoProbe});
    EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(main->Action(QStringLiteral("mnuStopRealTimeWindow"))->isEnabled());
}

TEST_F(RealTimeWindowTest, ClosingARunningWindowStopsItsPolling) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    dialogs.askSave = [](const QString&) { return QMessageBox::No; };
    main->MdiArea()->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->RealTimeWindow(), nullptr);
    // Nothing polls any more, and a new window may be opened.
    EXPECT_FALSE(main->GetLink().IsRealTimeActive());
    EXPECT_NE(Open(), nullptr);
}

// --- review: faults of a recording left running ---------------------------

TEST_F(RealTimeWindowTest, AWindowStoppedDuringAPollCannotBeClosedUntilThePollReturns) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    instrument.Faults().lateReplies.insert("SEND", 4000);
    QMdiSubWindow* sub = main->MdiArea()->subWindowList().first();
    presenter.answer = true;
    bool stopped = false;
    int closedWhilePolling = 0;
    pump.onEvents = [&] {
        if (!window->Session()->bRealSend()) return;
        if (!stopped) {
            stopped = true;
            main->Action(QStringLiteral("mnuStopRealTimeWindow"))->trigger();
        } else if (closedWhilePolling == 0 && !window->Doc().bCommunicate) {
            // The poll is still on the stack (its link is being closed):
            // in the program the window would be deleted under it.
            closedWhilePolling = sub->close() ? 1 : -1;
        }
    };
    window->Session()->OnTick();
    pump.onEvents = nullptr;
    ASSERT_TRUE(stopped);
    EXPECT_EQ(closedWhilePolling, -1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(RealTimeWindowTest, SaveAsDuringAPollLeavesThePollInProgress) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    instrument.Faults().lateReplies.insert("SEND", 4000);
    const QString path = dir.filePath(QStringLiteral("kylrum.t58"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return path;
    };
    bool saved = false;
    bool communicating = false;
    pump.onEvents = [&] {
        if (saved || !window->Session()->bRealSend()) return;
        saved = true;
        main->FileSaveAs(*window);  // F12 while the poll waits for its reply
        communicating = window->Doc().bCommunicate;
    };
    window->Session()->OnTick();
    pump.onEvents = nullptr;
    ASSERT_TRUE(saved);
    EXPECT_TRUE(communicating);
}

TEST_F(RealTimeWindowTest, ClosingAfterOnlyAnExportKeepsTheJournal) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    window->Session()->OnTick();
    ASSERT_NE(window->Journal(), nullptr);
    const QString journal = window->Journal()->Path();
    presenter.answer = true;
    main->Action(QStringLiteral("mnuStopRealTimeWindow"))->trigger();
    // "Save changes?" Yes, and in the save dialog the user picks .csv.
    dialogs.askSave = [](const QString&) { return QMessageBox::Yes; };
    const QString csv = dir.filePath(QStringLiteral("kylrum.csv"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 1;
        return csv;
    };
    main->MdiArea()->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(QFile::exists(csv));
    // No .t58 holds the readings: the journal is all there is.
    EXPECT_TRUE(QFile::exists(journal));
}

TEST_F(RealTimeWindowTest, AJournalThatCannotBeWrittenSaysSoOutsideThePoll) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->Journal(), nullptr);
    // The disk is full: no byte more goes into the journal.
    const qint64 size = QFileInfo(window->Journal()->Path()).size();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit full = before;
    full.rlim_cur = static_cast<rlim_t>(size);
    setrlimit(RLIMIT_FSIZE, &full);
    bool shown = false;
    bool insideThePoll = false;
    presenter.onPresent = [&](const MessageBoxSpec& box) {
        if (box.key != QLatin1String("Journal Cannot Write")) return;
        shown = true;
        // A modal box here holds the timer's tick: no poll until it is answered.
        insideThePoll = window->Doc().bCommunicate;
    };
    window->Session()->OnTick();
    setrlimit(RLIMIT_FSIZE, &before);
    QCoreApplication::processEvents();
    presenter.onPresent = nullptr;
    ASSERT_TRUE(shown);
    EXPECT_FALSE(insideThePoll);
}

TEST_F(RealTimeWindowTest, AJournalThatCouldNotStartIsStartedOnceTheDiskTakesWritesAgain) {
    // The disk is full as the window opens: not even the journal's header goes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit full = before;
    full.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &full);
    frmDocument* window = Open();
    if (window) window->Session()->OnTick();  // a second reading on the full disk
    setrlimit(RLIMIT_FSIZE, &before);
    QCoreApplication::processEvents();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Journal(), nullptr);
    EXPECT_EQ(presenter.Keys().count(QStringLiteral("Journal Cannot Write")), 1);

    // Space again: the next reading starts the journal, and it holds every
    // reading so far, also those of the full disk. It used to stay without
    // one for the rest of the recording, however long that was.
    window->Session()->OnTick();
    QCoreApplication::processEvents();
    ASSERT_NE(window->Journal(), nullptr);
    const qint32 points = window->Doc().PointCount();
    EXPECT_EQ(points, 3);
    Document restored;
    QString problem;
    ASSERT_TRUE(ReadJournal(window->Journal()->Path(), restored, problem)) << qPrintable(problem);
    EXPECT_EQ(restored.PointCount(), points);
    EXPECT_EQ(presenter.Keys().count(QStringLiteral("Journal Cannot Write")), 1) << "said once";

    // Full again, days later: the user heard that the journal works, so this
    // outage is said too.
    full.rlim_cur = static_cast<rlim_t>(QFileInfo(window->Journal()->Path()).size());
    setrlimit(RLIMIT_FSIZE, &full);
    window->Session()->OnTick();
    window->Session()->OnTick();
    setrlimit(RLIMIT_FSIZE, &before);
    QCoreApplication::processEvents();
    EXPECT_EQ(presenter.Keys().count(QStringLiteral("Journal Cannot Write")), 2);
}

// A save that would write typed characters as '?' asks first; No must leave the recording as it
// was: still recording, and the window open when the question came from its close.
TEST_F(RealTimeWindowTest, NoToTheTextsQuestionLeavesTheRecordingRunning) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    const QString path = dir.filePath(QStringLiteral("kylrum.t58"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return path;
    };
    ASSERT_TRUE(main->FileSaveAs(*window));  // F12: the recording goes on
    ASSERT_TRUE(window->IsRealTimeRunning());
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    window->Doc().EditNotes(QStringLiteral("Łódź, ≥5 °C"));

    presenter.answer = false;
    EXPECT_FALSE(main->FileSave(*window));  // Ctrl+S on a file of its own
    EXPECT_EQ(presenter.Keys(), QStringList{"Texts Not Kept"});
    EXPECT_TRUE(window->IsRealTimeRunning());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    presenter.shown.clear();
    dialogs.askSave = [](const QString&) { return QMessageBox::Yes; };
    EXPECT_FALSE(main->MdiArea()->subWindowList().first()->close());
    EXPECT_EQ(presenter.Keys(), QStringList{"Texts Not Kept"});
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(window->IsRealTimeRunning());
    window->Session()->OnTick();
    EXPECT_EQ(window->Doc().PointCount(), 2);
}

}  // namespace

// Save on a recording never saved asks for a name first. It used to stop the recording before
// the dialog: a cancelled dialog left the window stopped for good, and every later reading
// was lost. Only a chosen name stops it now.
TEST_F(RealTimeWindowTest, ASaveWhoseNameDialogIsCancelledLeavesTheWindowRecording) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    dialogs.saveFileName = [](const QString&, int&) { return QString(); };
    EXPECT_FALSE(main->FileSave(*window));
    EXPECT_TRUE(window->IsRealTimeRunning());
    // The close question's Yes, then Cancel in the dialog: the window stays, still recording.
    dialogs.askSave = [](const QString&) { return QMessageBox::Yes; };
    EXPECT_FALSE(main->MdiArea()->subWindowList().first()->close());
    EXPECT_TRUE(window->IsRealTimeRunning());
    window->Session()->OnTick();
    EXPECT_EQ(window->Doc().PointCount(), 2);

    const QString path = dir.filePath(QStringLiteral("kylrum.t58"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return path;
    };
    ASSERT_TRUE(main->FileSave(*window));
    EXPECT_FALSE(window->IsRealTimeRunning()) << "stopped before its data is written";
    EXPECT_EQ(window->Doc().iSaved, Saved::kUnchanged);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n26-11-02 "), 2);
}

// A command given while a poll holds the link is skipped; it used to be skipped without a
// word, so that a click on "Ladda ner filer" looked like a dead program.
TEST_F(RealTimeWindowTest, ACommandWhileAPollHoldsTheLinkSaysWaitProcess) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    instrument.Faults().lateReplies.insert("SEND", 4000);
    bool tried = false;
    pump.onEvents = [&] {
        if (tried || !window->Session()->bRealSend()) return;
        tried = true;
        main->Action(QStringLiteral("mnuDownloadFiles"))->trigger();
    };
    window->Session()->OnTick();
    pump.onEvents = nullptr;
    ASSERT_TRUE(tried);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kWaitProcess});
    EXPECT_EQ(window->Doc().PointCount(), 2) << "the poll went on";
}

// A dialog closed while a real-time poll waited for its reply ended the poll's command as if it
// were the dialog's own: the poll stopped waiting, its reading was thrown away when it came,
// and a reading was missing from the recording without a word.
TEST_F(RealTimeWindowTest, ADialogClosedWhileAPollWaitsLeavesThePollItsReading) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    instrument.Faults().lateReplies.insert("SEND", 1000);
    frmRealTimeDisplaySettings settings(*main);
    frmDownloadFiles files(*main, false);
    for (QDialog* dialog : {static_cast<QDialog*>(&settings), static_cast<QDialog*>(&files)}) {
        const qint32 before = window->Doc().PointCount();
        bool closed = false;
        pump.onEvents = [&] {
            if (closed || !window->Session()->bRealSend()) return;
            closed = true;
            dialog->reject();  // Cancel while the poll waits
        };
        window->Session()->OnTick();
        pump.onEvents = nullptr;
        ASSERT_TRUE(closed);
        EXPECT_EQ(window->Doc().PointCount(), before + 1) << dialog->metaObject()->className();
        EXPECT_TRUE(window->IsRealTimeRunning());
        EXPECT_FALSE(main->GetLink().State().LinkBusy);
    }
    EXPECT_TRUE(presenter.shown.isEmpty()) << qPrintable(presenter.Keys().join(", "));
}

// A stop during a Save As of a running window (the save lets events run every 1024 points)
// cleared the save's busy mark as if it were a poll's. A close then went without the question
// (the save had marked the document saved), removed the journal, and the save, seeing its
// window close, gave up: every reading was lost.
TEST_F(RealTimeWindowTest, AStopDuringASaveLeavesTheSaveItsBusyMark) {
    frmDocument* window = Open();
    ASSERT_NE(window, nullptr);
    while (window->Doc().PointCount() < 1100) window->Session()->OnTick();
    const QString path = dir.filePath(QStringLiteral("kylrum.t58"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return path;
    };
    presenter.answer = true;  // "Stop Real?" Yes
    bool ran = false, busyAfterStop = false, closed = true;
    QTimer::singleShot(0, main.get(), [&] {
        ran = true;
        main->Action(QStringLiteral("mnuStopRealTimeWindow"))->trigger();
        busyAfterStop = window->Doc().bCommunicate;
        closed = main->MdiArea()->subWindowList().first()->close();
    });
    ASSERT_TRUE(main->FileSaveAs(*window));
    ASSERT_TRUE(ran) << "the save let events run";
    EXPECT_TRUE(busyAfterStop);
    EXPECT_FALSE(closed) << "a window whose data is being written stays";
    EXPECT_FALSE(window->IsRealTimeRunning());
    const qint32 points = window->Doc().PointCount();
    ASSERT_TRUE(main->OpenDocument(path));
    EXPECT_EQ(main->Documents().last()->Doc().PointCount(), points);
}
