// The main window and its small dialogs, offscreen, against the simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "app/WindowPlacement.h"
#include "app/frmMain.h"
#include "base/GuiCaptions.h"
#include "base/GuiMessagePresenter.h"
#include "base/ProgramTranslator.h"
#include "base/StringTable.h"
#include "base/UserLocale.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "instrument/frmDeviceInformation.h"
#include "link/frmLanConnection.h"
#include "support/MessageBoxAnswer.h"
#include "support/RecordingPresenter.h"
#include "support/SimProcess.h"

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        store =
            std::make_unique<SettingsStore>(SettingsStore::AtFile(dir.filePath("TR58 Link.ini")));
    }
    std::unique_ptr<frmMain> MakeMain(const QString& commandLine = {}) {
        frmMain::Options options;
        options.store = store.get();
        options.programFolder = dir.path();
        options.commandLine = commandLine;
        options.presenter = &presenter;
        return std::make_unique<frmMain>(options);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    RecordingPresenter presenter;
};

// A document window stand-in that may refuse to close.
class Refusing : public QWidget {
public:
    explicit Refusing(bool refuse) : refuse_(refuse) {}
    void closeEvent(QCloseEvent* event) override {
        if (refuse_) event->ignore();
    }

private:
    bool refuse_;
};

}  // namespace

TEST(GuiCaptions, LabelsNeedWholeIdsOtherControlsTakeLeadingNumbers) {
    QWidget window;
    window.setProperty("Tag", "5029");
    auto* whole = new QLabel("design", &window);
    whole->setProperty("Tag", "5029");
    auto* partial = new QLabel("design", &window);
    partial->setProperty("Tag", "5024abc");
    auto* empty = new QLabel("design", &window);
    auto* button = new QPushButton("design", &window);
    button->setProperty("Tag", "5024abc");
    button->setProperty("ToolTipText", "5053");
    auto* unknown = new QPushButton("design", &window);
    unknown->setProperty("Tag", "12abc");
    ApplyCaptions(&window);
    EXPECT_EQ(window.windowTitle(), "Instrumentinformation");
    EXPECT_EQ(whole->text(), "Instrumentinformation");
    EXPECT_EQ(partial->text(), "design") << "a label's Tag must be a whole number";
    EXPECT_EQ(empty->text(), "design");
    EXPECT_EQ(button->text(), "Avbryt");
    EXPECT_EQ(button->toolTip(), "Ladda ner filer");
    EXPECT_EQ(unknown->text(), "design") << "id 12 is not in the table";
}

TEST_F(ShellTest, MenusAndToolbarShowTheirTexts) {
    auto main = MakeMain();
    EXPECT_EQ(main->Menu("mnuFile")->title(), "&Arkiv");
    EXPECT_EQ(main->Action("mnuFileOpenFile")->text(), "&Öppna...");
    EXPECT_EQ(main->Action("Com10")->text(), "COM1&0");
    EXPECT_EQ(main->Action("Lan")->text(), "Nätverk (LAN)...");
    EXPECT_EQ(main->Action("mnuEditCopy2")->text(), "K&opiera");
    EXPECT_EQ(main->Action("tbOpen")->toolTip(), "Öppna");
    EXPECT_EQ(main->Action("tbInformation")->toolTip(), "Instrumentinformation");
    EXPECT_EQ(main->StatusPanel(1)->text(), "Klar.");
    EXPECT_FALSE(main->Action("mnuFileSave")->isEnabled()) << "no document yet";
    EXPECT_FALSE(main->Action("tbSave")->isEnabled()) << "the button follows its menu item";
    // No help file here, but the manual is built in.
    EXPECT_TRUE(main->Action("mnuHelpContentsandIndex")->isVisible());
    EXPECT_TRUE(main->Action("Com0")->isChecked()) << "detection is on by default";
}

TEST_F(ShellTest, CloseAllStopsAtTheFirstWindowThatRefuses) {
    auto main = MakeMain();
    main->show();
    QMdiSubWindow* first = main->MdiArea()->addSubWindow(new Refusing(false));
    QMdiSubWindow* second = main->MdiArea()->addSubWindow(new Refusing(true));
    QMdiSubWindow* third = main->MdiArea()->addSubWindow(new Refusing(false));
    for (QMdiSubWindow* w : {first, second, third}) w->show();
    main->mnuWindowCloseAll_Click();
    EXPECT_FALSE(main->CloseAllContinue);
    EXPECT_TRUE(first->isVisible()) << "never reached";
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(third->isVisible()) << "the newest went first";
}

TEST_F(ShellTest, DroppedFilesAreRefusedWhileTheInstrumentIsBusy) {
    auto main = MakeMain();
    main->show();
    EXPECT_TRUE(main->AcceptsDrop({"/x/A.T58", "/x/b.t58"}));
    EXPECT_FALSE(main->AcceptsDrop({"/x/a.t58", "/x/b.txt"}));
    main->GetLink().Progress().Load();
    EXPECT_FALSE(main->AcceptsDrop({"/x/A.T58"})) << "the progress window is open";
    main->GetLink().Progress().Unload();
    EXPECT_TRUE(main->AcceptsDrop({"/x/A.T58"}));
    EXPECT_EQ(main->StatusPanel(1)->text(), "Klar.") << "the ready text is back";
}

TEST_F(ShellTest, CommandLineIsActedOnOnceAtTheFirstActivation) {
    auto main = MakeMain("/l: /data/lab.t58");
    QStringList opened;
    QObject::connect(main.get(), &frmMain::OpenRequested, [&](const QString& path, bool print) {
        opened << (print ? "print " : "open ") + path;
    });
    main->show();
    QApplication::setActiveWindow(main.get());
    QApplication::processEvents();
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(main.get());
    QApplication::processEvents();
    EXPECT_EQ(opened, QStringList{"open /data/lab.t58"});
    EXPECT_TRUE(main->Action("Lan")->isVisible()) << "the LAN link is chosen in the port menu";
}

TEST_F(ShellTest, SettingsAreWrittenAtCloseAndReadAtLoad) {
    {
        auto main = MakeMain();
        main->AddRecentFile("/data/a.t58");
        main->setGeometry(40, 50, 700, 600);
        main->GetLink().State().LanHosts[0] = {"lab", 2323, 1};
        ASSERT_TRUE(main->close());
    }
    EXPECT_EQ(store->Read("mruFile1"), "/data/a.t58");
    EXPECT_EQ(store->Read("1IP"), "lab");
    EXPECT_EQ(store->Read("Auto"), "True");
    const int width = store->ReadInt("MainWidth", 0);
    EXPECT_GT(width, 9000) << "700 px in twips";
    auto again = MakeMain();
    EXPECT_EQ(again->Recent().At(0), "/data/a.t58");
    EXPECT_TRUE(again->Action("mnuFileRecentlyUsedFiles0")->isVisible());
    EXPECT_EQ(again->width(), 700);
}

TEST_F(ShellTest, PortMenuFindsTheInstrumentOnComThree) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    store->Raw().setValue("Ports/COM3", sim.PtyPath());
    auto main = MakeMain();
    main->Com_Click(3);
    EXPECT_TRUE(presenter.shown.isEmpty()) << qPrintable(presenter.Keys().join(','));
    EXPECT_EQ(main->GetLink().State().ConfiguredPort, 3);
    EXPECT_FALSE(main->GetLink().State().AutoDetect);
    EXPECT_TRUE(main->Action("Com3")->isChecked());
    EXPECT_FALSE(main->Action("Com0")->isChecked());
    EXPECT_EQ(main->GetLink().State().OpenPort, 0) << "the test open is closed again";
    EXPECT_EQ(store->Read("Port"), "3");
    EXPECT_EQ(store->Read("Auto"), "False");
}

TEST_F(ShellTest, PortMenuStoresTheChoiceEvenWhenNothingAnswers) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "silent"}));
    store->Raw().setValue("Ports/COM5", sim.PtyPath());
    auto main = MakeMain();
    main->Com_Click(5);
    EXPECT_EQ(presenter.Keys(), QStringList{"Cannot detect"});
    EXPECT_TRUE(main->Action("Com5")->isChecked());
    EXPECT_EQ(store->Read("Port"), "5");
    EXPECT_FALSE(main->GetLink().IsCommunicating());
}

TEST_F(ShellTest, LanDialogRules) {
    auto main = MakeMain();
    LinkState& s = main->GetLink().State();
    for (int i = 0; i < 8; ++i)
        s.LanHosts[static_cast<size_t>(i)] = {QStringLiteral("h%1").arg(i + 1), 100 + i, 1};
    s.LanSelection = 2;
    frmLanConnection dialog(main->GetLink(), main.get());
    EXPECT_EQ(dialog.cboIp()->count(), 8);
    EXPECT_EQ(dialog.cboIp()->currentText(), "h2");
    EXPECT_EQ(dialog.txtPort()->text(), "101") << "the chosen host's port";
    dialog.cboIp()->setEditText("h4");
    dialog.txtPort()->setText("4000");
    dialog.cmdOK_Click();
    EXPECT_EQ(dialog.Result(), 17);
    EXPECT_EQ(s.LanSelection, 4);
    EXPECT_EQ(s.LanHosts[3].port, 103) << "a known host keeps its stored port";

    frmLanConnection second(main->GetLink(), main.get());
    second.cboIp()->setEditText("new-host");
    second.txtPort()->setText("2323");
    second.cmdOK_Click();
    EXPECT_EQ(s.LanSelection, 1);
    EXPECT_EQ(s.LanHosts[0].host, "new-host");
    EXPECT_EQ(s.LanHosts[0].port, 2323);
    EXPECT_EQ(s.LanHosts[7].host, "h7") << "h8, the oldest, was dropped";
    EXPECT_EQ(s.ConnectionType, Connection::kLan);
}

TEST_F(ShellTest, DeviceInformationFromTheSimulatorWithAndWithoutAProbe) {
    for (bool probe : {true, false}) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start(probe ? QStringList{} : QStringList{"--no-probe"}));
        auto main = MakeMain();
        LinkState& s = main->GetLink().State();
        s.LanHosts[0] = {sim.TcpAddress().section(':', 0, 0),
                         sim.TcpAddress().section(':', 1).toInt(), 1};
        s.LanSelection = 1;
        s.ConnectionType = Connection::kLan;
        s.ConfiguredPort = 17;
        s.AutoDetect = false;
        frmDeviceInformation dialog(main->GetLink(), main.get());
        ASSERT_TRUE(dialog.Load());
        const DeviceInformation& info = dialog.Information();
        EXPECT_EQ(info.type, probe ? "TR58 PT-5" : "TR58");
        EXPECT_EQ(info.version, probe ? QString("SW 2.14") : StringTable::Text(5099));
        EXPECT_EQ(info.number, "T2640117");
        EXPECT_EQ(info.snumber, probe ? "P5310862" : "");
        EXPECT_EQ(info.calib, "2026-03-14");
        EXPECT_FALSE(main->GetLink().IsCommunicating());
        EXPECT_EQ(main->GetLink().State().OpenPort, 0) << "CAL closes the link";
    }
}

// Regression: "/P: FILE" opened the file and ended with exit status 0 without
// printing anything.
TEST_F(ShellTest, PrintingFromTheCommandLineWithoutAPrinterSaysSoAndFails) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "a printer is installed";
    const QString file = dir.filePath(QStringLiteral("lab.t58"));
    {
        Document document;
        document.Title = QStringLiteral("Lab");
        document.SetQuantityCount(1);
        document.Property(QStringLiteral("\tT\r\n"));
        document.Unit(QStringLiteral("\tC\r\n"));
        ASSERT_TRUE(SaveDocumentFile(document, file, DocumentFileType::T58));
    }
    auto main = MakeMain(QStringLiteral("/P: ") + file);
    main->show();
    QApplication::processEvents();  // no activation needed: no window manager
    QApplication::processEvents();
    EXPECT_EQ(presenter.Keys(), QStringList{QStringLiteral("No Printer")});
    EXPECT_EQ(main->ExitStatus(), 1);
    EXPECT_TRUE(main->Documents().isEmpty());
}

// Regression: every separator showed a "-" beside its line, the design's
// caption for a separator.
TEST_F(ShellTest, MenusHaveNoTextOnSeparators) {
    auto main = MakeMain();
    main->AddRecentFile("/data/a.t58");  // shows mnuFileBar3
    int separators = 0;
    for (QMenu* menu : main->findChildren<QMenu*>()) {
        emit menu->aboutToShow();  // the window list and the port menu fill in
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) continue;
            ++separators;
            EXPECT_TRUE(action->text().isEmpty())
                << qPrintable(menu->objectName() + ": " + action->objectName());
        }
    }
    EXPECT_GE(separators, 14) << "the bar's menus, the port menu and the pop-up menus";
}

TEST_F(ShellTest, PortMenuChecksTheLanLinkWhileItIsConfigured) {
    store->Write("1IP", "lab-indicator");
    store->Write("1IPort", "2323");
    store->Write("LastIP", "1");
    auto main = MakeMain();
    main->show();
    QApplication::setActiveWindow(main.get());
    QApplication::processEvents();
    emit main->Menu("mnuCommunicationsPort")->aboutToShow();
    QAction* lan = main->Action("Lan");
    EXPECT_TRUE(lan->isVisible()) << "shown in the port menu, also after an activation";
    EXPECT_TRUE(lan->isChecked());
    for (int i = 0; i <= 16; ++i)
        EXPECT_FALSE(main->Action(QStringLiteral("Com%1").arg(i))->isChecked()) << i;

    // The link goes back to a COM port: the check follows it when the menu opens.
    LinkState& s = main->GetLink().State();
    s.LanSelection = 0;
    s.AutoDetect = false;
    s.ConfiguredPort = 4;
    emit main->Menu("mnuCommunicationsPort")->aboutToShow();
    EXPECT_FALSE(lan->isChecked());
    EXPECT_TRUE(main->Action("Com4")->isChecked());
}

TEST_F(ShellTest, PortMenuShowsTheDeviceOfEachComEntry) {
    store->Raw().setValue("Ports/COM3", "/dev/ttyUSB0");
    store->Raw().setValue("Ports/COM12", "/tmp/instrument-pty");
    auto main = MakeMain();
    emit main->Menu("mnuCommunicationsPort")->aboutToShow();
    EXPECT_EQ(main->Action("Com3")->text(), "COM&3  (/dev/ttyUSB0)");
    EXPECT_EQ(main->Action("Com12")->text(), "COM12  (/tmp/instrument-pty)");
    EXPECT_EQ(main->Action("Com0")->text(), "&Autodetektera") << "detection has no device";
    // Every other COM entry names what the system map gives it, or nothing.
    const ComPortMap map = ComPortMap::FromSystem(store->Raw());
    for (int i = 1; i <= 16; ++i) {
        const QString text = main->Action(QStringLiteral("Com%1").arg(i))->text();
        EXPECT_EQ(text.contains("  ("), !map.Device(i).isEmpty()) << qPrintable(text);
    }
}

namespace {

// The texts of the buttons of the message box that is open, then presses the
// one with the given role.
MessageBoxSpec Box(MessageStyle style, bool yesNo) {
    MessageBoxSpec box;
    box.title = "TR58 Link";
    box.text = "?";
    box.style = style;
    box.yesNo = yesNo;
    return box;
}

}  // namespace

TEST(ProgramTranslations, MessageBoxButtonsSpeakTheProgramsLanguage) {
    InstallProgramTranslations(*qApp, StringTable::Language());
    QWidget owner;
    owner.show();

    // The program's own message boxes: Yes/No and OK.
    GuiMessagePresenter presenter(&owner);
    QStringList texts;
    QTimer::singleShot(0, [&] { texts = AnswerOpenMessageBox(QMessageBox::NoRole); });
    EXPECT_FALSE(presenter.Present(Box(MessageStyle::Question, true)));
    EXPECT_EQ(texts, (QStringList{"&Ja", "&Nej"}));
    QTimer::singleShot(0, [&] { texts = AnswerOpenMessageBox(QMessageBox::AcceptRole); });
    presenter.Present(Box(MessageStyle::Exclamation, false));
    EXPECT_EQ(texts, QStringList{"OK"});

    // The save question and the 65000-point question use Qt's standard boxes.
    QTimer::singleShot(0, [&] { texts = AnswerOpenMessageBox(QMessageBox::RejectRole); });
    EXPECT_EQ(QMessageBox::question(&owner, "TR58 Link", "?",
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel),
              QMessageBox::Cancel);
    EXPECT_EQ(texts, (QStringList{"&Ja", "&Nej", "Avbryt"}));
    QTimer::singleShot(0, [&] { texts = AnswerOpenMessageBox(QMessageBox::AcceptRole); });
    EXPECT_EQ(
        QMessageBox::question(&owner, "TR58 Link", "?", QMessageBox::Ok | QMessageBox::Cancel),
        QMessageBox::Ok);
    EXPECT_EQ(texts, (QStringList{"Avbryt", "OK"}));

    // Qt's own catalogue (qt6-translations-l10n) speaks for the file dialog.
    for (const char* text : {"Files of type:", "Detail View", "New Folder"})
        EXPECT_NE(QCoreApplication::translate("QFileDialog", text), QString::fromLatin1(text))
            << text;
}

TEST_F(ShellTest, AFirstStartFillsAShareOfTheScreenAStoredPlaceWins) {
    auto main = MakeMain();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(main->geometry(), FirstStartGeometry(screen, main->minimumSize()));
    EXPECT_NE(main->width(), 567) << "not the classic 8505 twips";
    ASSERT_TRUE(main->close());

    store->WriteInt("MainLeft", 1500);
    store->WriteInt("MainTop", 1500);
    store->WriteInt("MainWidth", 10500);
    store->WriteInt("MainHeight", 9000);
    auto again = MakeMain();
    EXPECT_EQ(again->width(), 700) << "10500 twips at 96 dpi";
    EXPECT_EQ(again->height(), 600);
}

TEST_F(ShellTest, RecentFilesCarryNumberAcceleratorsTheListKeepsThePaths) {
    {
        auto main = MakeMain();
        main->AddRecentFile("/data/a.t58");
        main->AddRecentFile("/data/R&D.t58");
        EXPECT_EQ(main->Action("mnuFileRecentlyUsedFiles0")->text(), "&1 /data/R&&D.t58");
        EXPECT_EQ(main->Action("mnuFileRecentlyUsedFiles1")->text(), "&2 /data/a.t58");
        EXPECT_EQ(main->Recent().At(0), "/data/R&D.t58");
        ASSERT_TRUE(main->close());
    }
    EXPECT_EQ(store->Read("mruFile1"), "/data/R&D.t58");
    EXPECT_EQ(store->Read("mruFile2"), "/data/a.t58");
    auto again = MakeMain();
    EXPECT_EQ(again->Action("mnuFileRecentlyUsedFiles1")->text(), "&2 /data/a.t58");

    // Choosing an entry opens the file itself, "&" and all.
    const QString file = dir.filePath(QStringLiteral("R&D.t58"));
    {
        Document document;
        document.Title = QStringLiteral("R&D");
        document.SetQuantityCount(1);
        document.Property(QStringLiteral("\tT\r\n"));
        document.Unit(QStringLiteral("\tC\r\n"));
        ASSERT_TRUE(SaveDocumentFile(document, file, DocumentFileType::T58));
    }
    again->AddRecentFile(file);
    again->Action("mnuFileRecentlyUsedFiles0")->trigger();
    ASSERT_EQ(again->Documents().size(), 1);
    EXPECT_EQ(again->Documents().first()->Doc().FilePath, file);
    EXPECT_EQ(again->Recent().At(0), file);
}

// The status bar's date follows the user's conventions, as every other date
// the program shows.
TEST_F(ShellTest, TheStatusBarDateFollowsTheUsersLocale) {
    UserLocale::Init(QLocale(QLocale::German, QLocale::Germany), UserTextEncoding::Utf8);
    const QLocale& user = UserLocale::Locale();
    const QString before = user.toString(QDate::currentDate(), UserLocale::ShortDateFormat());
    auto main = MakeMain();
    const QString shown = main->StatusPanel(2)->text();
    const QString after = user.toString(QDate::currentDate(), UserLocale::ShortDateFormat());
    UserLocale::Init(QLocale::system());
    EXPECT_TRUE(shown == before || shown == after) << qPrintable(shown + " / " + before);
    EXPECT_TRUE(shown.contains('.')) << "German dates use dots: " << qPrintable(shown);
}
