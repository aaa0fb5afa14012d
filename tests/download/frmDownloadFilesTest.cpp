// The file dialog against the in-process instrument: downloads into document
// windows, the 65000-point limit, files gone meanwhile, and deleting.
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/frmDocument.h"
#include "base/UserLocale.h"
#include "download/frmDownloadFiles.h"
#include "link/Link.h"
#include "support/ProgramFixture.h"

namespace {

class DownloadDialogTest : public ProgramFixture {
protected:
    std::unique_ptr<frmDownloadFiles> Open(bool deleteMode) {
        auto dialog = std::make_unique<frmDownloadFiles>(*main, deleteMode);
        EXPECT_TRUE(dialog->Load());
        // The question before deleting: Yes, unless a test says otherwise.
        dialog->deleteQuestion = [](const QString&) { return true; };
        return dialog;
    }
    QStringList Plays(qsizetype from) const {
        QStringList plays;
        for (const QString& c : CommandsSince(from))
            if (c.startsWith("PLAY") || c == "EXIT" || c.startsWith("DEL")) plays << c;
        return plays;
    }
};

}  // namespace

TEST_F(DownloadDialogTest, ListsTheDirectoryAndAppliesTheSelectionRules) {
    auto dialog = Open(false);
    ASSERT_EQ(dialog->lvwDownload()->topLevelItemCount(), 6);
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(1)->text(0), "Kylrum Öst [I]");
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(2)->text(3), "Kan ej raderas");
    EXPECT_FALSE(dialog->cmdDownload()->isEnabled()) << "nothing selected";
    dialog->SelectFiles({0, 2});
    EXPECT_TRUE(dialog->cmdDownload()->isEnabled());
    EXPECT_FALSE(dialog->chkDelete()->isEnabled()) << "Manuell cannot be deleted";
    EXPECT_TRUE(dialog->optDateTimeRange()->isEnabled()) << "Lab 1 can be read by range";
    dialog->SelectFiles({2, 4});
    EXPECT_FALSE(dialog->optDateTimeRange()->isEnabled()) << "neither has a range";
    EXPECT_FALSE(main->GetLink().IsCommunicating());
    EXPECT_EQ(main->GetLink().State().OpenPort, 0) << "DIR closes the link";
}

TEST_F(DownloadDialogTest, SortingKeepsTheSelectionAndFlipsOnASecondClick) {
    auto dialog = Open(false);
    dialog->SelectFiles({3});
    dialog->SortByColumn(3);  // points, ascending
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(0)->text(0), "Tom");
    dialog->SortByColumn(3);  // descending
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(0)->text(0), "Logg:2026/11");
    EXPECT_TRUE(dialog->lvwDownload()->topLevelItem(0)->isSelected()) << "the selection survives";
    dialog->SortByColumn(1);
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(0)->text(0), "Kylrum Öst [I]");
}

TEST_F(DownloadDialogTest, TwoFilesOneByRangeBecomeTwoDocuments) {
    auto dialog = Open(false);
    dialog->SelectFiles({0, 4});
    dialog->optDateTimeRange()->setChecked(true);
    dialog->txtFromDate()->setText("2026-11-02");
    dialog->cboFromTime()->setEditText("08:00:05");
    dialog->txtToDate()->setText("2026-11-02");
    dialog->cboToTime()->setEditText("08:01:00");
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDownload_Click();
    EXPECT_TRUE(presenter.shown.isEmpty()) << qPrintable(presenter.Keys().join(','));
    EXPECT_EQ(Plays(before),
              (QStringList{"PLAY 0 2026-11-02 08:00:05 2026-11-02 08:01:00", "PLAY 4", "EXIT"}))
        << "Lager has no range: the plain form";
    const QList<frmDocument*> documents = main->Documents();
    ASSERT_EQ(documents.size(), 2);
    EXPECT_EQ(documents.at(0)->Doc().PointCount(), 6);
    EXPECT_EQ(documents.at(0)->Caption(), "Lab 1");
    EXPECT_EQ(documents.at(1)->Doc().PointCount(), 720);
    EXPECT_TRUE(documents.at(1)->Doc().bKapula);
    EXPECT_TRUE(main->Action("mnuFileSave")->isEnabled());
}

TEST_F(DownloadDialogTest, AnInvalidRangeSendsNothing) {
    auto dialog = Open(false);
    dialog->SelectFiles({0});
    dialog->optDateTimeRange()->setChecked(true);
    dialog->txtFromDate()->setText("2011-05-03");
    dialog->cboFromTime()->setEditText("10:00:00");
    dialog->txtToDate()->setText("2011-05-03");
    dialog->cboToTime()->setEditText("10:00:00");
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDownload_Click();
    EXPECT_EQ(presenter.Keys(), QStringList{"Invalid Date"});
    EXPECT_TRUE(CommandsSince(before).isEmpty());
    EXPECT_TRUE(main->Documents().isEmpty());
}

TEST_F(DownloadDialogTest, ThreeFilesCloseTheLinkOnlyAfterTheThird) {
    auto dialog = Open(false);
    dialog->SelectFiles({0, 2, 4});
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDownload_Click();
    EXPECT_EQ(Plays(before), (QStringList{"PLAY 0", "PLAY 2", "PLAY 4", "EXIT"}));
    EXPECT_EQ(main->Documents().size(), 3);
}

TEST_F(DownloadDialogTest, TheLimitQuestionKeepsOrStops) {
    {
        auto dialog = Open(false);
        dialog->SelectFiles({0, 3});
        dialog->limitQuestion = [] { return true; };  // OK
        dialog->cmdDownload_Click();
        ASSERT_EQ(main->Documents().size(), 2);
        EXPECT_EQ(main->Documents().at(1)->Doc().PointCount(), 65000);
    }
    main->mnuWindowCloseAll_Click();
    ASSERT_TRUE(main->Documents().isEmpty() || true);
    QApplication::processEvents();
    {
        auto dialog = Open(false);
        dialog->SelectFiles({0, 3});
        dialog->limitQuestion = [] { return false; };  // Cancel
        dialog->cmdDownload_Click();
        QApplication::processEvents();
        const QList<frmDocument*> documents = main->Documents();
        ASSERT_EQ(documents.size(), 1) << "the first file's document stays, none for the second";
        EXPECT_EQ(documents.first()->Doc().PointCount(), 1000);
    }
}

TEST_F(DownloadDialogTest, AFileDeletedMeanwhileCannotBeDownloaded) {
    auto dialog = Open(false);
    dialog->SelectFiles({1});
    instrument.Faults().filesGone = true;
    dialog->cmdDownload_Click();
    EXPECT_EQ(presenter.Keys(), QStringList{"Cannot download"});
    EXPECT_TRUE(main->Documents().isEmpty());
}

TEST_F(DownloadDialogTest, DeletingFilesOneAndThreeOfFourSendsDelOneThenDelTwo) {
    instrument.Files() =
        instrument.Files().mid(0, 2) + instrument.Files().mid(3, 2);  // four deletable files
    auto dialog = Open(true);
    ASSERT_EQ(dialog->lvwDownload()->topLevelItemCount(), 4);
    dialog->SortByColumn(1);  // by name: the walk still goes in directory order
    dialog->SelectFiles({1, 3});
    EXPECT_TRUE(dialog->cmdDelete()->isEnabled());
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDelete_Click();
    EXPECT_EQ(Plays(before), (QStringList{"DEL 1", "DEL 2", "EXIT"}));
    ASSERT_EQ(instrument.Files().size(), 2);
    EXPECT_EQ(instrument.Files().at(1).name, QByteArray("Logg:2026/11"));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DownloadDialogTest, AllFilesSelectedSendsOneDel) {
    instrument.Files() = instrument.Files().mid(0, 2);
    auto dialog = Open(true);
    dialog->SelectFiles({0, 1});
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDelete_Click();
    EXPECT_EQ(Plays(before), (QStringList{"DEL", "EXIT"}));
    EXPECT_TRUE(instrument.Files().isEmpty());
}

TEST_F(DownloadDialogTest, AnUndeletableFileInTheSelectionDisablesDelete) {
    auto dialog = Open(true);
    dialog->SelectFiles({0, 2});
    EXPECT_FALSE(dialog->cmdDelete()->isEnabled());
    EXPECT_EQ(dialog->lvwDownload()->topLevelItem(2)->foreground(0).color(), QColor(140, 140, 140));
}

TEST_F(DownloadDialogTest, NoFilesIsReportedAndNoDialogShows) {
    instrument.Files().clear();
    frmDownloadFiles dialog(*main, false);
    EXPECT_FALSE(dialog.Load());
    EXPECT_EQ(presenter.Keys(), QStringList{"No Files"});
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

// Regression: after Avbryt half way through a download the program no longer
// talked to the instrument until it was restarted.
TEST_F(DownloadDialogTest, ACancelledDownloadThenTheNextDownloadWorks) {
    {
        auto dialog = Open(false);
        dialog->SelectFiles({3});  // 70000 points
        bool cancelled = false;
        pump.onEvents = [&] {
            if (!cancelled && main->GetLink().State().LineCount > 35000) {
                cancelled = true;
                main->GetLink().Cancel();
            }
        };
        dialog->cmdDownload_Click();
        pump.onEvents = nullptr;
        ASSERT_TRUE(cancelled);
        EXPECT_TRUE(main->Documents().isEmpty());
        EXPECT_TRUE(presenter.shown.isEmpty()) << "a cancel says nothing";
    }
    auto dialog = Open(false);
    dialog->SelectFiles({0});
    dialog->cmdDownload_Click();
    ASSERT_EQ(main->Documents().size(), 1);
    EXPECT_EQ(main->Documents().first()->Doc().PointCount(), 1000);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// Regression: delete-after-download deleted a file cut at 65000 points whole.
TEST_F(DownloadDialogTest, DeleteAfterDownloadKeepsAFileCutAt65000Points) {
    auto dialog = Open(false);
    dialog->SelectFiles({0, 3});
    dialog->chkDelete()->setChecked(true);
    dialog->limitQuestion = [] { return true; };
    dialog->cmdDownload_Click();
    ASSERT_EQ(main->Documents().size(), 2);
    const QStringList names = [&] {
        QStringList list;
        for (const SimFile& file : instrument.Files()) list << QString::fromLatin1(file.name);
        return list;
    }();
    EXPECT_EQ(names.size(), 5) << "only the file read whole is gone";
    EXPECT_FALSE(names.contains(QStringLiteral("Lab 1")));
    EXPECT_TRUE(names.contains(QStringLiteral("Logg:2026/11")));
}

// Regression: a file that the instrument ended before the points its directory listed opened
// as if it were whole, without a word.
TEST_F(DownloadDialogTest, FilesThatEndEarlyAreNamedAndKeptInTheInstrument) {
    instrument.Faults().shortBy = 600;
    auto dialog = Open(false);
    dialog->SelectFiles({0, 1});
    dialog->chkDelete()->setChecked(true);
    dialog->cmdDownload_Click();
    ASSERT_EQ(main->Documents().size(), 2);
    EXPECT_EQ(main->Documents().at(0)->Doc().PointCount(), 400);
    EXPECT_EQ(main->Documents().at(1)->Doc().PointCount(), 1900);
    ASSERT_EQ(presenter.Keys(), QStringList{QStringLiteral("File Ended Early")});
    EXPECT_EQ(presenter.shown.first().text,
              QStringLiteral("Filen Lab 1 hämtades inte hel: instrumentet skickade 400 av 1000 "
                             "datapunkter.\nFilen finns kvar i instrumentet.\n\n"
                             "Filen Kylrum Öst [I] hämtades inte hel: instrumentet skickade 1900 "
                             "av 2500 datapunkter.\nFilen finns kvar i instrumentet."));
    EXPECT_EQ(instrument.Files().size(), 6) << "neither file is deleted";
    EXPECT_FALSE(instrument.CommandLog().join(QLatin1Char(' ')).contains(QStringLiteral("DEL")));
}

TEST_F(DownloadDialogTest, RangeWithDeletionSaysTheFilesAreKept) {
    auto dialog = Open(false);
    dialog->SelectFiles({0});
    auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("optDateTimeRange"));
    auto* note = dialog->findChild<QLabel*>(QStringLiteral("lblKeepNote"));
    ASSERT_TRUE(range && note);
    dialog->chkDelete()->setChecked(true);
    EXPECT_FALSE(note->isVisibleTo(dialog.get()));
    range->setChecked(true);
    EXPECT_TRUE(note->isVisibleTo(dialog.get()));
    EXPECT_EQ(note->text(), QStringLiteral("Filer som läses med datum/tidsintervall raderas inte "
                                           "från instrumentet."));
    dialog->chkDelete()->setChecked(false);
    EXPECT_FALSE(note->isVisibleTo(dialog.get()));
}

TEST_F(DownloadDialogTest, DeletingAsksFirstAndNoSendsNothing) {
    instrument.Files() = instrument.Files().mid(0, 2);
    auto dialog = Open(true);
    dialog->SelectFiles({0, 1});
    QString asked;
    dialog->deleteQuestion = [&asked](const QString& text) {
        asked = text;
        return false;  // No
    };
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDelete_Click();
    EXPECT_EQ(asked, QStringLiteral("Radera 2 filer från instrumentet?\nDet går inte att ångra."));
    EXPECT_TRUE(CommandsSince(before).isEmpty()) << qPrintable(CommandsSince(before).join(','));
    EXPECT_EQ(instrument.Files().size(), 2);
    EXPECT_FALSE(dialog->Busy());

    dialog->deleteQuestion = [](const QString&) { return true; };  // Yes
    dialog->cmdDelete_Click();
    EXPECT_EQ(Plays(before), (QStringList{"DEL", "EXIT"}));
    EXPECT_TRUE(instrument.Files().isEmpty());
}

TEST_F(DownloadDialogTest, TheDeleteQuestionIsAYesNoBoxThatDefaultsToNo) {
    frmDownloadFiles fresh(*main, true);  // the question as the program asks it
    ASSERT_TRUE(fresh.Load());
    fresh.SelectFiles({1});
    QStringList buttons;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        for (QAbstractButton* button : box->buttons())
            buttons << QString::number(box->standardButton(button));
        if (box->defaultButton()) box->defaultButton()->click();  // what Enter does
    });
    const qsizetype before = instrument.CommandLog().size();
    fresh.cmdDelete_Click();
    EXPECT_EQ(text, QStringLiteral("Radera filen Kylrum Öst [I] från instrumentet?\n"
                                   "Det går inte att ångra."));
    EXPECT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.contains(QString::number(QMessageBox::Yes)));
    EXPECT_TRUE(buttons.contains(QString::number(QMessageBox::No)));
    EXPECT_TRUE(CommandsSince(before).isEmpty()) << "Enter answers No: nothing is deleted";
}

TEST_F(DownloadDialogTest, ADisabledDeleteSaysWhy) {
    auto dialog = Open(true);
    dialog->SelectFiles({0, 2});
    ASSERT_FALSE(dialog->cmdDelete()->isEnabled());
    EXPECT_TRUE(dialog->cmdDelete()->toolTip().contains(QStringLiteral("Manuell")))
        << qPrintable(dialog->cmdDelete()->toolTip());
    EXPECT_EQ(main->StatusText(), dialog->cmdDelete()->toolTip()) << "the status bar says it too";
    dialog->SelectFiles({0});
    EXPECT_TRUE(dialog->cmdDelete()->isEnabled());
    EXPECT_TRUE(dialog->cmdDelete()->toolTip().isEmpty());
    EXPECT_EQ(main->StatusText(), QStringLiteral("Klar."));
    dialog->SelectFiles({2});
    EXPECT_NE(main->StatusText(), QStringLiteral("Klar."));
    dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    EXPECT_EQ(main->StatusText(), QStringLiteral("Klar.")) << "the reason goes with the dialog";
}

TEST_F(DownloadDialogTest, TheRangeStartsAtTheSelectedFilesFirstAndLastPoint) {
    const QLocale& locale = UserLocale::Locale();
    const auto date = [&locale](int y, int m, int d) {
        return locale.toString(QDate(y, m, d), UserLocale::ShortDateFormat());
    };
    const auto time = [&locale](int h, int m, int s) {
        return locale.toString(QTime(h, m, s), UserLocale::LongTimeFormat());
    };
    auto dialog = Open(false);
    dialog->SelectFiles({0});  // Lab 1: 1000 points every 10 s from 2 November 08:00
    EXPECT_EQ(dialog->txtFromDate()->text(), date(2026, 11, 2));
    EXPECT_EQ(dialog->cboFromTime()->currentText(), time(8, 0, 0));
    EXPECT_EQ(dialog->txtToDate()->text(), date(2026, 11, 2));
    EXPECT_EQ(dialog->cboToTime()->currentText(), time(10, 46, 30));
    dialog->SelectFiles({0, 1});  // and Kylrum Öst from 30 October
    EXPECT_EQ(dialog->txtFromDate()->text(), date(2026, 10, 30));
    EXPECT_EQ(dialog->txtToDate()->text(), date(2026, 11, 2));

    // The calendar opens on the files' month, not today's.
    dialog->ShowCalendar(true);
    EXPECT_EQ(dialog->mvwCalendar()->yearShown(), 2026);
    EXPECT_EQ(dialog->mvwCalendar()->monthShown(), 10);
    EXPECT_EQ(dialog->mvwCalendar()->selectedDate(), QDate(2026, 10, 30));
    dialog->mvwCalendar()->hide();

    // The range as it starts is valid and reads the whole file.
    dialog->SelectFiles({0});
    dialog->optDateTimeRange()->setChecked(true);
    const qsizetype before = instrument.CommandLog().size();
    dialog->cmdDownload_Click();
    EXPECT_TRUE(presenter.shown.isEmpty()) << qPrintable(presenter.Keys().join(','));
    EXPECT_EQ(Plays(before),
              (QStringList{"PLAY 0 2026-11-02 08:00:00 2026-11-02 10:46:30", "EXIT"}));
    ASSERT_EQ(main->Documents().size(), 1);
    EXPECT_EQ(main->Documents().first()->Doc().PointCount(), 1000);
}

TEST_F(DownloadDialogTest, ARangeTypedByTheUserNoLongerFollowsTheSelection) {
    auto dialog = Open(false);
    dialog->SelectFiles({0});
    dialog->optDateTimeRange()->setChecked(true);
    dialog->txtFromDate()->clear();
    QTest::keyClicks(dialog->txtFromDate(), QStringLiteral("2026-11-01"));
    dialog->SelectFiles({1});
    EXPECT_EQ(dialog->txtFromDate()->text(), QStringLiteral("2026-11-01"));
}

// Regression: every file took the same share of the bar, and the window never
// said which file of how many was coming.
TEST_F(DownloadDialogTest, TheBarIsSizedToThePointsAskedForAndTellsTheFile) {
    auto dialog = Open(false);
    dialog->SelectFiles({0, 4});
    dialog->optDateTimeRange()->setChecked(true);
    dialog->txtFromDate()->setText("2026-11-02");
    dialog->cboFromTime()->setEditText("08:00:05");
    dialog->txtToDate()->setText("2026-11-02");
    dialog->cboToTime()->setEditText("08:01:00");
    CommunicationProgress& progress = main->GetLink().Progress();
    auto* window = main->findChild<QWidget*>(QStringLiteral("frmCommunicating"));
    ASSERT_TRUE(window);
    auto* detail = window->findChild<QLabel*>(QStringLiteral("lblDetail"));
    ASSERT_TRUE(detail);
    double maximum = 0;
    double atSecondFile = -1;
    QStringList details;
    const auto sync = progress.onChange;
    progress.onChange = [&] {
        if (sync) sync();
        if (progress.FileCount() != 2) return;
        maximum = progress.Maximum();
        if (progress.CurrentFile() == 2 && atSecondFile < 0)
            atSecondFile = progress.Value() / progress.Maximum();
        if (!detail->text().isEmpty() && !details.contains(detail->text()))
            details << detail->text();
    };
    dialog->cmdDownload_Click();
    progress.onChange = sync;
    ASSERT_EQ(main->Documents().size(), 2);
    // Six points of Lab 1 in the range, all 720 of Lager: each counted on
    // receipt and when parsed, with three header lines.
    EXPECT_EQ(maximum, (6 * 2 + 6) + (720 * 2 + 6));
    EXPECT_LT(atSecondFile, 0.02) << "six points are not half the work";
    EXPECT_TRUE(details.contains(QStringLiteral("Fil 1 av 2 \u2013 6 av 6 datapunkter")))
        << qPrintable(details.join('|'));
    EXPECT_TRUE(details.contains(QStringLiteral("Fil 2 av 2 \u2013 720 av 720 datapunkter")))
        << qPrintable(details.join('|'));
}

// Regression: while the instrument woke up the window stood still for
// seconds with nothing to show that the program was alive.
TEST_F(DownloadDialogTest, WhileTheInstrumentIsAwaitedTheBarIsBusyAndCountsTheSeconds) {
    auto* window = main->findChild<QWidget*>(QStringLiteral("frmCommunicating"));
    ASSERT_TRUE(window);
    auto* bar = window->findChild<QProgressBar*>(QStringLiteral("prgRead"));
    auto* detail = window->findChild<QLabel*>(QStringLiteral("lblDetail"));
    ASSERT_TRUE(bar && detail);
    bool busy = false;
    QString waited;
    pump.onEvents = [&] {
        if (!window->isVisible()) return;
        if (bar->maximum() == 0) busy = true;
        if (detail->text().startsWith(QStringLiteral("Väntar på instrumentet... ")))
            waited = detail->text();
    };
    auto dialog = Open(false);
    pump.onEvents = nullptr;
    EXPECT_TRUE(busy) << "the bar runs as a busy bar";
    EXPECT_EQ(waited, QStringLiteral("Väntar på instrumentet... 2 s"))
        << "the wake-up takes a little over 2 s";
    EXPECT_NE(bar->maximum(), 0) << "not busy once the directory has come";
}
