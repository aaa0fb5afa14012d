// F1 opens the manual on the topic of the window in front: the main window
// on the contents, a document window on the document or its chart, each
// dialog on its own chapter. A modal dialog owns the help window, so that the
// help can be used beside it.
#include <QApplication>
#include <QMdiArea>
#include <QTest>

#include "app/frmDocument.h"
#include "chart/ChartView.h"
#include "document/DocumentFiles.h"
#include "download/frmDownloadFiles.h"
#include "help/HelpTopics.h"
#include "help/frmHelp.h"
#include "link/frmLanConnection.h"
#include "print/frmPrint.h"
#include "realtime/frmRealTimeDisplaySettings.h"
#include "support/ProgramFixture.h"

namespace {

class HelpKeyTest : public ProgramFixture {
protected:
    void SetUp() override {
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    void TearDown() override { delete frmHelp::Current(); }

    // F1 where the user is: the focused control of the window in front.
    static void PressF1(QWidget* window, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = window->focusWidget();
        QTest::keyClick(focus ? focus : window, Qt::Key_F1, modifiers);
    }
    static QString Shown() {
        frmHelp* help = frmHelp::Current();
        if (!help || !help->isVisible()) return QStringLiteral("(no help window)");
        const QUrl page = help->Page();
        return page.fileName() + (page.hasFragment() ? u'#' + page.fragment() : QString());
    }

    frmDocument* OpenLab() {
        Document document;
        document.SetQuantityCount(1);
        document.Property(QStringLiteral("\tT"));
        document.Unit(QStringLiteral("\tC"));
        document.IntervalUnit = 2;
        document.IntervalValue = 10;
        for (int i = 0; i < 20; ++i)
            document.MeasToStruct(
                QStringLiteral("26-11-03 08:%1:00\t%2.5").arg(i, 2, 10, QLatin1Char('0')).arg(i));
        const QString path = dir.filePath(QStringLiteral("lab.t58"));
        EXPECT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
        EXPECT_TRUE(main->OpenDocument(path));
        return main->ActiveDocument();
    }

    // Shows dialog modally (as the program's exec() does), presses F1 in it
    // and closes it again; the page the help window showed meanwhile.
    QString F1InModal(QDialog& dialog) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        PressF1(&dialog);
        const QString shown = Shown();
        // The dialog blocks every other window: the help belongs to it.
        EXPECT_EQ(frmHelp::Current() ? frmHelp::Current()->parentWidget() : nullptr, &dialog);
        dialog.hide();
        return shown;
    }
};

}  // namespace

TEST_F(HelpKeyTest, TheHelpItemsAreThereWithoutAHelpFile) {
    for (const char* item : {"mnuHelpQuickOverview", "mnuHelpContentsandIndex", "mnuHelpBar0"}) {
        QAction* action = main->findChild<QAction*>(QLatin1String(item));
        ASSERT_NE(action, nullptr) << item;
        EXPECT_TRUE(action->isVisible()) << item;
    }
}

TEST_F(HelpKeyTest, F1InTheMainWindowOpensTheContents) {
    PressF1(main.get());
    EXPECT_EQ(Shown(), QStringLiteral("index.html"));
    // Shift+F1, the quick guide: starting with the simulator.
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    PressF1(main.get(), Qt::ShiftModifier);
    EXPECT_EQ(Shown(), QStringLiteral("komma-igang.html"));
}

TEST_F(HelpKeyTest, F1InADocumentWindowOpensTheDocumentOrItsChart) {
    frmDocument* document = OpenLab();
    ASSERT_NE(document, nullptr);
    document->ShowPage(frmDocument::kInformationPage);
    document->setFocus();
    PressF1(main.get());
    EXPECT_EQ(Shown(), QStringLiteral("dokument.html"));

    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    document->ShowPage(frmDocument::kChartPage);
    document->Chart()->setFocus();
    PressF1(main.get());
    EXPECT_EQ(Shown(), QStringLiteral("diagram.html"));
}

TEST_F(HelpKeyTest, F1InADialogOpensItsChapter) {
    frmLanConnection lan(main->GetLink(), main.get());
    EXPECT_EQ(F1InModal(lan), QStringLiteral("anslutning.html#lan"));

    frmRealTimeDisplaySettings settings(*main);
    EXPECT_EQ(F1InModal(settings), QStringLiteral("realtid.html#installningar"));

    frmDownloadFiles files(*main, false);
    EXPECT_EQ(F1InModal(files), QStringLiteral("hamta.html"));

    frmDocument* document = OpenLab();
    ASSERT_NE(document, nullptr);
    frmPrint print(*main, document->Doc(), document->Chart()->Slots(), document->CurrentPage(),
                   frmPrint::Mode::Printer);
    EXPECT_EQ(F1InModal(print), QStringLiteral("utskrift.html"));
}

TEST_F(HelpKeyTest, TheHelpWindowMovesToTheWindowInFront) {
    PressF1(main.get());
    QPointer<frmHelp> first = frmHelp::Current();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), nullptr);
    frmLanConnection lan(main->GetLink(), main.get());
    EXPECT_EQ(F1InModal(lan), QStringLiteral("anslutning.html#lan"));
    EXPECT_TRUE(first.isNull());  // the main window's help made way for the dialog's
}
