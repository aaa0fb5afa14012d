#pragma once
// The main window: the MDI frame with the menus, the toolbar and the status
// bar. It routes every command to the part of the program that carries it out,
// keeps the recent files, enables the commands that need a document, acts on
// the command line and on files dropped on it, and owns the instrument link.

#include <QMainWindow>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/DocumentWindowHost.h"
#include "app/MainWindowSettings.h"
#include "app/RecentFiles.h"
#include "app/frmDocument.h"
#include "base/Branding.h"
#include "base/SettingsStore.h"
#include "document/DocumentFiles.h"
#include "download/DownloadHost.h"
#include "link/Link.h"
#include "print/PrintHost.h"
#include "print/frmPrint.h"
#include "realtime/RealTimeSettingsHost.h"

class GuiMessagePresenter;
class frmDocument;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class frmCommunicating;

class frmMain : public QMainWindow,
                public DownloadHost,
                public DocumentWindowHost,
                public PrintHost,
                public RealTimeSettingsHost {
    Q_OBJECT
public:
    // The file dialogs and the save question. Empty functions use the
    // system's dialogs; tests answer them through Options::dialogs.
    struct Dialogs {
        std::function<QString()> openFileName;
        // proposed name and the filter index (0 .t58, 1 .csv, 2 .txt) in,
        // the chosen name (empty: cancelled) and the filter chosen out.
        std::function<QString(const QString& proposed, int& filter)> saveFileName;
        std::function<QMessageBox::StandardButton(const QString& text)> askSave;
        // The PDF file, from the proposed name; empty: cancelled.
        std::function<QString(const QString& proposed)> pdfFileName;
    };

    struct Options {
        Branding branding;
        QString title = QStringLiteral("TR58 Link");  // the application title
        QString programFolder;                        // help files, logo, branding
        QString commandLine;                          // trimmed, acted on at first activation
        SettingsStore* store = nullptr;               // required
        // For tests: another port, pump or message presenter than the program's own.
        Port* port = nullptr;
        Pump* pump = nullptr;
        MessagePresenter* presenter = nullptr;
        // The answers of the file dialogs and the save question; the caller
        // keeps it alive and may change the answers at any time.
        const Dialogs* dialogs = nullptr;
    };

    explicit frmMain(const Options& options);
    ~frmMain() override;

    // --- Operations other windows use.
    void MainFocus() override;
    bool IsCommunicating() const { return link_->IsCommunicating(); }
    void SetDocumentCommands(bool enabled) override;
    void AddRecentFile(const QString& path);
    void RefreshRecentFiles();
    void mnuWindowCloseAll_Click();
    void mnuFileExit_Click() { close(); }
    // Set true by Close All; false when a document stays open.
    bool CloseAllContinue = true;

    Link& GetLink() override { return *link_; }
    SettingsStore& Store() override { return *store_; }
    const RecentFiles& Recent() const { return recent_; }
    QMdiArea* MdiArea() const { return mdiArea_; }
    QString ApplicationTitle() const override { return title_; }
    // Menu items and toolbar buttons by control name ("mnuFileOpenFile", "Com3",
    // "Lan", "tbOpen", ...), for the windows that enable them and for tests.
    QAction* Action(const QString& name) const { return actions_.value(name); }
    QMenu* Menu(const QString& name) const { return menus_.value(name); }
    QLabel* StatusPanel(int panel) const;
    void SetStatusText(const QString& text) override;

    // --- Commands.
    void Com_Click(int index);
    void Lan_Click();
    // The port menu as it opens: each COM item with its device, the check on
    // the link in use (a COM port, detection or the LAN link).
    void RefreshPortMenu();
    void ToolbarButtonClick(const QString& key);
    void mnuIndicatorDeviceInformation_Click();
    // The real-time window: opened (or brought to the front when it runs),
    // stopped after asking, stopped without asking.
    void mnuRealTimeWindow_Click();
    void mnuStopRealTimeWindow_Click();
    void StopReal();
    // The running real-time window, if any.
    frmDocument* RealTimeWindow() const { return realTimeWindow_; }
    // The real-time settings dialog, when the link is idle.
    void mnuRealTimeSettings_Click();
    // RealTimeSettingsHost: the interval the real-time window polls at.
    void RealTimeIntervalChanged(qint32 seconds, qint16 unitCode) override;
    // True while the real-time settings dialog is open (and while StopReal
    // runs): a stop then asks nothing and shows no message.
    bool StopRequested() const { return stopRequest_; }
    // The instrument's file dialog, to download or (deleteFiles) to delete.
    void ShowFileDialog(bool deleteFiles);
    // Whether dropped files would be taken now.
    bool AcceptsDrop(const QStringList& fileNames) const;

    // --- Documents.
    // Opens a .t58 file in a new document window (an empty path asks for one).
    bool OpenDocument(const QString& path);
    // Saves a document to its file, or asks for one; true when written.
    bool FileSave(frmDocument& document);
    // Saves under another name, or exports as CSV or tab-delimited text. With stopRealTime a
    // running real-time window stops once the name is chosen (a cancelled dialog leaves it
    // recording).
    bool FileSaveAs(frmDocument& document, bool stopRealTime = false);
    // Puts a new document window into the frame.
    void AddDocumentWindow(frmDocument* document);
    frmDocument* ActiveDocument() const;
    QList<frmDocument*> Documents() const;
    // The close question of a document: false when it must stay open.
    bool ConfirmCloseDocument(frmDocument& document) override;
    // At start-up: every real-time recording that did not end normally (its
    // journal is on disk and no running program holds it) is offered back.
    void RestoreUnfinishedRecordings();
    // Offers the recording of one journal back as an unsaved document window
    // that keeps the journal until the document is saved or closed; true when
    // the window was made.
    bool RestoreRecording(const QString& journalPath);
    // DocumentWindowHost.
    QMenu* PagePopUp(int page) override;
    QString StatusText() const override;
    void RealTimeStopped(frmDocument& document) override;
    // PrintHost.
    QStringList Printers() const override;
    PrintRun& RunPrintSettings() override { return printRun_; }
    void SetPrinting(bool printing) override;
    QString AskPdfFileName(const QString& proposed) override;
    // The print dialog for the active document, printing or (Pdf) saving a PDF.
    void ShowPrintDialog(frmPrint::Mode mode);
    // Every part of document on the run's printer, then the window closes (the
    // command line's /P:). False with the reason shown when nothing printed.
    bool PrintAll(frmDocument& document);
    // The program's exit status: not 0 when the command line's job failed.
    int ExitStatus() const { return exitStatus_; }
    MessagePresenter* Presenter() const { return presenter_; }
    bool ShowMessage(const QString& key) override;
    // A message box of the program's own text (not of the message catalogue):
    // a question with Yes/No, or a warning; key names it for tests.
    bool PresentText(const QString& key, const QString& text, bool question) override;
    // The file dialog asked before replacing the name it returned (chosen); when the program
    // then added an extension, an existing file of that name (path) is asked about here.
    // False when the user keeps that file.
    bool ConfirmReplace(const QString& chosen, const QString& path);
    // Asks before a .t58 save that would write a character of the title or notes as '?'.
    bool ConfirmTextsKept(frmDocument& document);
    // DownloadHost.
    QWidget* HostWindow() override { return this; }
    bool AddDownloadedDocument(QString& reply) override;

signals:
    // A file named on the command line or dropped, to be opened.
    void OpenRequested(const QString& path, bool print);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Dialogs& dialogs_;  // Options::dialogs, or the system's dialogs
    PrintRun printRun_;       // orientation and printer, for this run only
    int exitStatus_ = 0;
    QAction* AddAction(QMenu* menu, const QString& name, const QString& id,
                       const QKeySequence& key = {});
    QMenu* AddMenu(QMenu* parent, const QString& name, const QString& id);
    struct MenuRow;
    void AddMenuRow(const MenuRow& row);
    void BuildMenus();
    void AddRecentFileItems();
    void AddPortItems();
    void AddWindowList();
    void AddPopUpMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void LoadSettings();
    void SaveSettings();
    void CheckPortItem(int index);
    void ActOnCommandLine();
    void ShowHelp(bool quickOverview);
    void UpdateClock();
    void UpdateKeyStates();
    void ShowViewPage(int page);
    void UpdateDocumentCommands();
    // Writes a document (or exports it) with a status text, reporting a failure.
    bool WriteDocument(frmDocument& document, const QString& path, DocumentFileType type,
                       const QString& statusText);
    void DocumentClosed(frmDocument* closing);

    QString title_;
    Branding branding_;
    QString programFolder_;
    QString CommandLine;
    SettingsStore* store_;
    std::unique_ptr<Port> ownPort_;
    std::unique_ptr<Pump> ownPump_;
    std::unique_ptr<GuiMessagePresenter> ownPresenter_;
    std::unique_ptr<Link> link_;
    MessagePresenter* presenter_ = nullptr;
    frmCommunicating* progressWindow_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QToolBar* tbToolBar_ = nullptr;
    QMap<QString, QAction*> actions_;
    QMap<QString, QMenu*> menus_;
    QList<QLabel*> panels_;
    RecentFiles recent_;
    MainWindowSettings geometry_;
    // The real-time window while it exists (at most one polls at a time).
    QPointer<frmDocument> realTimeWindow_;
    // The stop-request flag: set while the real-time settings dialog is open
    // or a stop runs, so that no stop question or stop message comes.
    bool stopRequest_ = false;
    bool capsLock_ = false;
    bool numLock_ = true;
    bool insert_ = true;
};
