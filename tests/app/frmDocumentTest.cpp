// Document windows in the program: opening, saving, exporting, the close
// question and the Copy command.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>

#include "app/InformationPage.h"
#include "app/frmDocument.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartView.h"
#include "document/DataTableModel.h"
#include "document/T58File.h"
#include "instrument/DeviceInformation.h"
#include "support/ProgramFixture.h"

namespace {

class DocumentWindowTest : public ProgramFixture {
protected:
    // A downloaded document of the simulator's file n.
    frmDocument* Download(int n) {
        auto* document = new frmDocument(*main, frmDocument::Mode::Downloaded);
        document->Doc().strBuf = QString::fromLatin1(instrument.PlayReply(n));
        EXPECT_TRUE(document->PlayFile());
        document->Chart()->DocumentFilled();
        main->AddDocumentWindow(document);
        return document;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
};

}  // namespace

TEST_F(DocumentWindowTest, SaveAsThenSaveWritesBackWithoutADialog) {
    frmDocument* document = Download(0);
    int asked = 0;
    dialogs.saveFileName = [&](const QString& proposed, int& filter) {
        ++asked;
        EXPECT_EQ(proposed, "Lab 1");
        EXPECT_EQ(filter, 0);
        return Path("lab");  // typed without an extension: the chosen type's is added
    };
    ASSERT_TRUE(main->FileSave(*document)) << "never saved: Save asks for a name";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(document->Doc().FilePath, Path("lab.t58"));
    EXPECT_EQ(document->Caption(), "lab.t58");
    EXPECT_EQ(document->Doc().iSaved, Saved::kUnchanged);
    EXPECT_EQ(main->Recent().At(0), Path("lab.t58"));
    document->Doc().EditTitle("Lab 1, morning");
    EXPECT_EQ(document->Doc().iSaved, Saved::kChanged);
    ASSERT_TRUE(main->FileSave(*document));
    EXPECT_EQ(asked, 1) << "a saved document goes back to its file";
    EXPECT_EQ(document->Doc().iSaved, Saved::kUnchanged);
}

// A .t58 file is Windows-1252: notes typed as "Łódź, ≥5 °C" came back as "?ód?, ?5 °C" after
// a Save that said nothing, and the journal with the exact text went with it. The save asks
// now, and No leaves the document unsaved for the text to be edited.
TEST_F(DocumentWindowTest, ASaveThatWouldTurnTypedCharactersIntoQuestionMarksAsksFirst) {
    frmDocument* document = Download(0);
    document->Doc().EditNotes(QStringLiteral("Łódź, ≥5 °C"));
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return Path("lab.t58");
    };
    presenter.answer = false;
    EXPECT_FALSE(main->FileSave(*document));
    EXPECT_EQ(presenter.Keys(), QStringList{"Texts Not Kept"});
    EXPECT_FALSE(QFile::exists(Path("lab.t58")));
    EXPECT_EQ(document->Doc().iSaved, Saved::kNever);

    // An export under a UTF-8 locale keeps every character: no question.
    presenter.shown.clear();
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 1;
        return Path("lab.csv");
    };
    ASSERT_TRUE(main->FileSaveAs(*document));
    EXPECT_TRUE(presenter.shown.isEmpty());

    // Characters the code page holds ("°", "é", "€") need no question; Yes saves the rest as '?'.
    document->Doc().EditNotes(QStringLiteral("Källare, 5 °C, café, 3 €"));
    EXPECT_TRUE(t58KeepsTexts(document->Doc()));
    document->Doc().EditTitle(QStringLiteral("Łódź"));
    presenter.answer = true;
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return Path("lab.t58");
    };
    ASSERT_TRUE(main->FileSaveAs(*document));
    EXPECT_EQ(presenter.Keys(), QStringList{"Texts Not Kept"});
    Document reopened;
    ASSERT_TRUE(t58FormatOpen(reopened, Path("lab.t58")));
    EXPECT_EQ(reopened.Title, QStringLiteral("?ód?"));
    EXPECT_EQ(reopened.Notes, QStringLiteral("Källare, 5 °C, café, 3 €"));
}

TEST_F(DocumentWindowTest, ExportLeavesTheDocumentUnsavedAndKeepsThePreviousFileOnFailure) {
    frmDocument* document = Download(0);
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 1;
        return Path("lab.csv");
    };
    ASSERT_TRUE(main->FileSaveAs(*document));
    EXPECT_TRUE(QFile::exists(Path("lab.csv")));
    EXPECT_EQ(document->Doc().iSaved, Saved::kNever) << "an export is no save";
    EXPECT_TRUE(document->Doc().FilePath.isEmpty());
    EXPECT_EQ(document->Caption(), "Lab 1");

    dialogs.saveFileName = [&](const QString&, int&) { return Path("missing-folder/lab.t58"); };
    EXPECT_FALSE(main->FileSaveAs(*document));
    EXPECT_EQ(presenter.Keys(), QStringList{"Cannot Savefile"});
    EXPECT_TRUE(document->Doc().FilePath.isEmpty());
}

// The file dialog checks the name it returns; a name typed without an extension gets its
// extension only afterwards, so last week's "lab.t58" was replaced by a Save of "lab" without
// a word. The program now asks itself, and No keeps the earlier file.
TEST_F(DocumentWindowTest, ANameThatGetsItsExtensionAfterTheDialogAsksBeforeReplacing) {
    QFile earlier(Path("lab.t58"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("last week's recording");
    earlier.close();
    frmDocument* document = Download(0);
    dialogs.saveFileName = [&](const QString&, int& filter) {
        filter = 0;
        return Path("lab");
    };
    presenter.answer = false;
    EXPECT_FALSE(main->FileSave(*document));
    EXPECT_EQ(presenter.Keys(), QStringList{"Replace File"});
    EXPECT_EQ(presenter.shown.first().text,
              StringTable::Text(Str::kReplaceFileQuestion).arg("lab.t58"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "last week's recording");
    earlier.close();
    EXPECT_EQ(document->Doc().iSaved, Saved::kNever);
    EXPECT_TRUE(document->Doc().FilePath.isEmpty());

    presenter.answer = true;
    ASSERT_TRUE(main->FileSave(*document));
    EXPECT_EQ(document->Doc().FilePath, Path("lab.t58"));
    EXPECT_EQ(document->Doc().iSaved, Saved::kUnchanged);

    // A name the dialog saw whole was asked about there: no second question.
    presenter.shown.clear();
    dialogs.saveFileName = [&](const QString&, int&) { return Path("lab.t58"); };
    ASSERT_TRUE(main->FileSaveAs(*document));
    EXPECT_TRUE(presenter.shown.isEmpty());

    // The same for a PDF of the print dialog.
    QFile pdf(Path("lab.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    dialogs.pdfFileName = [&](const QString&) { return Path("lab"); };
    presenter.answer = false;
    EXPECT_TRUE(main->AskPdfFileName("lab").isEmpty());
    EXPECT_EQ(presenter.Keys(), QStringList{"Replace File"});
    presenter.answer = true;
    EXPECT_EQ(main->AskPdfFileName("lab"), Path("lab.pdf"));
    dialogs.pdfFileName = [&](const QString&) { return Path("new"); };
    presenter.shown.clear();
    EXPECT_EQ(main->AskPdfFileName("new"), Path("new.pdf"));
    EXPECT_TRUE(presenter.shown.isEmpty()) << "nothing to replace";
}

TEST_F(DocumentWindowTest, TheCloseQuestion) {
    frmDocument* document = Download(2);
    QMdiSubWindow* window = main->MdiArea()->subWindowList().first();
    QStringList asked;
    dialogs.askSave = [&](const QString& text) {
        asked << text;
        return QMessageBox::Cancel;
    };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, QStringList{"Vill du spara 'Manuell'?"});
    EXPECT_FALSE(main->CloseAllContinue);

    // Yes, then Cancel in the save dialog: the window stays.
    dialogs.askSave = [](const QString&) { return QMessageBox::Yes; };
    dialogs.saveFileName = [](const QString&, int&) { return QString(); };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(main->Documents().size(), 1);

    // Busy documents are not closed at all.
    document->Doc().bCommunicate = true;
    dialogs.askSave = [](const QString&) { return QMessageBox::No; };
    EXPECT_FALSE(window->close());
    document->Doc().bCommunicate = false;

    dialogs.askSave = [&](const QString&) { return QMessageBox::No; };
    EXPECT_TRUE(window->close());
    QApplication::processEvents();
    EXPECT_TRUE(main->Documents().isEmpty());
    EXPECT_FALSE(main->Action("mnuFileSave")->isEnabled()) << "the last document went";
}

// Regression: the close marks the window as closing before it asks; a Yes
// then saved a document of 1024 points or more only up to its first turn of
// the user interface, where the save took the mark for the window going away
// and stopped: "Cannot Savefile", and the window could not be closed.
TEST_F(DocumentWindowTest, YesAtTheCloseQuestionSavesALargeDocumentWholeAndCloses) {
    frmDocument* document = Download(1);  // 2500 points
    ASSERT_GE(document->Doc().PointCount(), 2500);
    dialogs.askSave = [](const QString&) { return QMessageBox::Yes; };
    dialogs.saveFileName = [&](const QString&, int&) { return Path("kylrum.t58"); };
    QMdiSubWindow* window = main->MdiArea()->subWindowList().first();
    EXPECT_TRUE(window->close());
    QApplication::processEvents();
    EXPECT_TRUE(presenter.shown.isEmpty()) << qPrintable(presenter.Keys().join(", "));
    EXPECT_TRUE(main->Documents().isEmpty());
    ASSERT_TRUE(main->OpenDocument(Path("kylrum.t58")));
    EXPECT_EQ(main->Documents().last()->Doc().PointCount(), 2500);
}

TEST_F(DocumentWindowTest, OpeningFilesGoodEmptyAndMissing) {
    frmDocument* document = Download(1);
    dialogs.saveFileName = [&](const QString&, int&) { return Path("kylrum.t58"); };
    ASSERT_TRUE(main->FileSaveAs(*document));
    ASSERT_TRUE(main->OpenDocument(Path("kylrum.t58")));
    ASSERT_EQ(main->Documents().size(), 2);
    frmDocument* reopened = main->Documents().last();
    EXPECT_EQ(reopened->Caption(), "kylrum.t58");
    EXPECT_EQ(reopened->Doc().PointCount(), 2500);
    EXPECT_EQ(reopened->Doc().Title, "Kylrum Öst [I]");
    EXPECT_EQ(reopened->Doc().iSaved, Saved::kUnchanged);

    QFile(Path("empty.t58")).open(QIODevice::WriteOnly);
    EXPECT_FALSE(main->OpenDocument(Path("empty.t58")));
    EXPECT_FALSE(main->OpenDocument(Path("nowhere.t58")));
    QFile broken(Path("broken.t58"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a TR58 file\r\n");
    broken.close();
    EXPECT_FALSE(main->OpenDocument(Path("broken.t58")));
    EXPECT_EQ(presenter.Keys(), (QStringList{"Invalid File", "File Error", "Invalid File"}));
    EXPECT_EQ(main->Documents().size(), 2) << "no window for a file that could not be read";
}

// Regression: a downloaded file without points could be saved, but opening the
// saved file said it was damaged, and the title and notes typed in were lost.
TEST_F(DocumentWindowTest, ADownloadWithoutPointsIsSavedOpenedAndShown) {
    auto* document = new frmDocument(*main, frmDocument::Mode::Downloaded);
    const QDateTime longAgo(QDate(2001, 1, 1), QTime(0, 0));
    document->Doc().strBuf =
        QString::fromLatin1(instrument.PlayReply(1, longAgo, longAgo.addDays(1)));
    ASSERT_TRUE(document->PlayFile());
    document->Chart()->DocumentFilled();
    main->AddDocumentWindow(document);
    ASSERT_EQ(document->Doc().PointCount(), 0);
    document->Doc().EditTitle("Kylrum, tomt");
    document->Doc().EditNotes("Loggern stod avst\u00e4ngd\r\nhela helgen");
    dialogs.saveFileName = [&](const QString&, int&) { return Path("tomt.t58"); };
    ASSERT_TRUE(main->FileSaveAs(*document));

    ASSERT_TRUE(main->OpenDocument(Path("tomt.t58")));
    frmDocument* reopened = main->Documents().last();
    ASSERT_NE(reopened, document);
    EXPECT_EQ(reopened->Doc().Title, "Kylrum, tomt");
    EXPECT_EQ(reopened->Doc().Notes, "Loggern stod avst\u00e4ngd\r\nhela helgen");
    EXPECT_EQ(reopened->Doc().PointCount(), 0);
    // Every page shows it: empty statistics, axes without a curve, no rows.
    main->resize(900, 700);
    main->show();
    for (const int page :
         {frmDocument::kInformationPage, frmDocument::kChartPage, frmDocument::kTablePage}) {
        reopened->ShowPage(page);
        QApplication::processEvents();
    }
    EXPECT_EQ(reopened->Table()->model()->rowCount(), 0);
    reopened->ShowPage(frmDocument::kChartPage);
    reopened->Copy();
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());
    EXPECT_TRUE(presenter.Keys().isEmpty()) << qPrintable(presenter.Keys().join(", "));
}

// Regression: a folder, or a file the user may not read, was reported as a file
// that cannot be found.
TEST_F(DocumentWindowTest, OpeningAFolderSaysItIsAFolder) {
    EXPECT_FALSE(main->OpenDocument(dir.path()));
    EXPECT_EQ(presenter.Keys(), QStringList{"File Is Folder"});
    EXPECT_TRUE(main->Documents().isEmpty());
}

TEST_F(DocumentWindowTest, CopyOfOneCellIsTheWholeTableAndOfABlockItsCells) {
    frmDocument* document = Download(1);  // Kylrum: missing readings in T every 17th point
    document->ShowPage(frmDocument::kTablePage);
    QTableView* table = document->Table();
    table->setCurrentIndex(table->model()->index(0, 2));
    table->selectionModel()->select(table->model()->index(0, 2),
                                    QItemSelectionModel::ClearAndSelect);
    document->Copy();
    const QString whole = QApplication::clipboard()->text();
    const QStringList lines = whole.split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2500 + 1) << "every row and the header row";
    EXPECT_TRUE(lines.first().startsWith("\t\tT, °C\tRH, %RH"));
    EXPECT_EQ(main->StatusPanel(1)->text(), "Klar.");

    // Rows 16 and 17 of T and RH: point 17 has no T reading.
    QItemSelection block(table->model()->index(15, 2), table->model()->index(16, 3));
    table->selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
    document->Copy();
    const QStringList cells = QApplication::clipboard()->text().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells.at(0), "T, °C\tRH, %RH");
    EXPECT_TRUE(cells.at(2).startsWith("\t"))
        << "the missing reading is an empty field: " << qPrintable(cells.at(2));
    EXPECT_FALSE(cells.at(2).contains("-"));
}

TEST_F(DocumentWindowTest, CopyOnTheChartPutsAPicture) {
    frmDocument* document = Download(0);
    main->resize(900, 700);
    main->show();
    document->ShowPage(frmDocument::kChartPage);
    QApplication::processEvents();
    document->Copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasImage());
    EXPECT_FALSE(data->hasText());
}

// Regression: any failed command (here the device information with the
// instrument switched off) made closing discard unsaved downloads unasked.
TEST_F(DocumentWindowTest, AFailedCommandElsewhereStillAsksBeforeClosing) {
    Download(2);
    instrument.Faults().silent = true;
    EXPECT_FALSE(ReadDeviceInformation(main->GetLink()).versRead);
    ASSERT_TRUE(main->GetLink().State().CommandFailed);
    QStringList asked;
    dialogs.askSave = [&](const QString& text) {
        asked << text;
        return QMessageBox::Cancel;
    };
    EXPECT_FALSE(main->close());
    EXPECT_EQ(asked, QStringList{"Vill du spara 'Manuell'?"});
    EXPECT_EQ(main->Documents().size(), 1);
}

TEST_F(DocumentWindowTest, AFourthQuantityTickedSaysThatAtMostThreeAreCharted) {
    frmDocument* document = Download(1);
    Document& doc = document->Doc();
    ASSERT_EQ(doc.QuantityCount(), 8);
    InformationPage* page = document->Information();
    for (int q = 0; q < doc.QuantityCount() && doc.ChartedCount() < 3; ++q)
        if (!doc.IsCharted(q)) page->chkQuantity(q)->click();
    ASSERT_EQ(doc.ChartedCount(), 3);
    int fourth = 0;
    while (doc.IsCharted(fourth)) ++fourth;
    main->SetStatusText(StringTable::Text(Str::kReady));

    page->chkQuantity(fourth)->click();
    EXPECT_FALSE(page->chkQuantity(fourth)->isChecked());
    EXPECT_FALSE(doc.IsCharted(fourth));
    EXPECT_EQ(main->StatusPanel(1)->text(),
              "Högst tre storheter kan visas i diagrammet. Ta bort bocken för en av dem först.");

    // Taking one off is no reason for the message.
    main->SetStatusText(StringTable::Text(Str::kReady));
    page->chkQuantity(fourth == 0 ? 1 : 0)->click();
    EXPECT_EQ(main->StatusPanel(1)->text(), "Klar.");
}

// Regression: new document windows reached past the work area, so scroll bars
// came with the first one.
TEST_F(DocumentWindowTest, NewDocumentWindowsOpenCascadedInsideTheWorkArea) {
    main->resize(1000, 700);
    main->show();
    QApplication::processEvents();
    QMdiArea* area = main->MdiArea();
    const QRect inside = area->viewport()->rect();
    QList<QPoint> corners;
    for (int i = 0; i < 6; ++i) {
        Download(i % 2 == 0 ? 0 : 2);
        QApplication::processEvents();
        for (QMdiSubWindow* sub : area->subWindowList())
            EXPECT_TRUE(inside.contains(sub->geometry()))
                << i << ": " << sub->geometry().x() << "," << sub->geometry().y() << " "
                << sub->width() << "x" << sub->height();
        corners << area->subWindowList(QMdiArea::CreationOrder).last()->pos();
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << i;
        EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << i;
    }
    EXPECT_LT(corners.at(0).x(), corners.at(1).x()) << "cascaded, not stacked";
    EXPECT_LT(corners.at(0).y(), corners.at(1).y());
    EXPECT_GE(area->subWindowList().first()->width(), inside.width() / 2) << "a useful size";
}

// Regression: scrolling right took each row's number and time out of view, and
// the two columns had no header.
TEST_F(DocumentWindowTest, TheNumberAndTimeStayInViewWhenTheTableScrollsRight) {
    frmDocument* document = Download(1);  // Kylrum Öst: eight quantities
    QTableView* table = document->Table();
    document->ShowPage(2);
    main->show();
    auto* sub = qobject_cast<QMdiSubWindow*>(document->parentWidget());
    ASSERT_TRUE(sub);
    sub->resize(420, 320);
    QApplication::processEvents();
    auto* frozen = table->findChild<QTableView*>(QStringLiteral("frozenColumns"));
    ASSERT_TRUE(frozen);
    EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nr"));
    EXPECT_EQ(table->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Tid"));

    table->scrollTo(table->model()->index(40, 9));
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    ASSERT_GT(table->horizontalScrollBar()->value(), 0) << "the table is wider than the window";
    EXPECT_LT(table->columnViewportPosition(1), 0) << "the table itself scrolled the time away";

    // The frozen columns stand on the left edge, row for row with the table.
    EXPECT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->columnViewportPosition(0), 0);
    EXPECT_EQ(frozen->columnViewportPosition(1), table->columnWidth(0));
    EXPECT_TRUE(frozen->isColumnHidden(2));
    EXPECT_GE(frozen->width(), table->columnWidth(0) + table->columnWidth(1));
    EXPECT_GT(table->verticalScrollBar()->value(), 0);
    EXPECT_EQ(frozen->verticalScrollBar()->value(), table->verticalScrollBar()->value());
    EXPECT_EQ(frozen->rowAt(0), table->rowAt(0));
    const QPoint timeCell = frozen->visualRect(frozen->model()->index(table->rowAt(0), 1)).center();
    EXPECT_TRUE(frozen->viewport()->rect().contains(timeCell));
    const QPoint onScreen = frozen->viewport()->mapTo(document, timeCell);
    EXPECT_EQ(document->childAt(onScreen), frozen->viewport()) << "nothing covers it";

    // Selecting in the frozen part selects in the table: Copy works as before.
    EXPECT_EQ(frozen->selectionModel(), table->selectionModel());
    frozen->selectionModel()->select(table->model()->index(0, 0),
                                     QItemSelectionModel::ClearAndSelect);
    frozen->selectionModel()->select(table->model()->index(1, 1), QItemSelectionModel::Select);
    frozen->selectionModel()->select(table->model()->index(0, 1), QItemSelectionModel::Select);
    frozen->selectionModel()->select(table->model()->index(1, 0), QItemSelectionModel::Select);
    document->Copy();
    const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("1\t"))) << qPrintable(lines.at(1));
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("2\t"))) << qPrintable(lines.at(2));
}
