// The real-time window in the program, offscreen against the in-process
// instrument: it opens with its first reading, polls, stops grey, and is
// saved as an ordinary document.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

#include "app/frmDocument.h"
#include "base/MessageKeys.h"
#include "chart/ChartView.h"
#include "document/DataTableModel.h"
#include "realtime/RealTimeSession.h"
#include "realtime/RecordingJournal.h"
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

}  // namespace
