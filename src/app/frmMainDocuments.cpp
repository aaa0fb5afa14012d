// The main window's document commands: open, save, save as / export, close,
// copy and the chart's view commands on the active document.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include "app/WindowPlacement.h"
#include "app/frmDocument.h"
#include "app/frmMain.h"
#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartView.h"
#include "document/DocumentFiles.h"
#include "document/Export.h"
#include "document/T58File.h"
#include "realtime/RealTimeSession.h"
#include "realtime/RecordingJournal.h"

namespace {

const QString kOpenFilter = QString::fromLatin1(kT58FileFilter);
const QStringList kSaveFilters = {QString::fromLatin1(kT58FileFilter),
                                  QString::fromLatin1(kCsvFileFilter),
                                  QString::fromLatin1(kTxtFileFilter)};
const QStringList kExtensions = {QStringLiteral(".t58"), QStringLiteral(".csv"),
                                 QStringLiteral(".txt")};

// The real-time window's caption ends in a blank and "(Realtidsfönster)";
// a file name proposed from it leaves that out.
QString WithoutRealTimeSuffix(const QString& caption) {
    const QString suffix = QLatin1Char(' ') + StringTable::Text(Str::kRealTimeSuffix);
    return caption.endsWith(suffix) ? caption.left(caption.size() - suffix.size()) : caption;
}

}  // namespace

bool frmMain::ShowMessage(const QString& key) {
    QString k = key;
    return link_->ShowMessage(k);
}

bool frmMain::AddDownloadedDocument(QString& reply) {
    auto* document = new frmDocument(*this, frmDocument::Mode::Downloaded);
    document->Doc().strBuf = reply;
    if (!document->PlayFile()) {
        delete document;  // the half-made window goes without a question
        return false;
    }
    document->Chart()->DocumentFilled();
    AddDocumentWindow(document);
    return true;
}

void frmMain::AddDocumentWindow(frmDocument* document) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(document);
    sub->setWindowIcon(document->windowIcon());
    sub->setWindowTitle(document->Caption());
    // Cascaded inside the work area, one title bar's height apart, so the
    // new window is whole and no scroll bar comes with it.
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub) + 4;
    sub->setGeometry(CascadedWindowGeometry(mdiArea_->viewport()->size(),
                                            static_cast<int>(mdiArea_->subWindowList().size()) - 1,
                                            step, QSize(560, 420)));
    connect(document, &frmDocument::ChartCommandsChanged, this, &frmMain::UpdateDocumentCommands);
    document->show();
    mdiArea_->setActiveSubWindow(sub);
    SetDocumentCommands(true);
    UpdateDocumentCommands();
}

frmDocument* frmMain::ActiveDocument() const {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    if (!active && !mdiArea_->subWindowList().isEmpty()) active = mdiArea_->subWindowList().last();
    return active ? qobject_cast<frmDocument*>(active->widget()) : nullptr;
}

QList<frmDocument*> frmMain::Documents() const {
    QList<frmDocument*> documents;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (auto* document = qobject_cast<frmDocument*>(sub->widget())) documents << document;
    return documents;
}

void frmMain::DocumentClosed(frmDocument* closing) {
    // The closing window is still listed until it is deleted.
    QList<frmDocument*> open = Documents();
    open.removeAll(closing);
    if (!open.isEmpty()) return;
    SetDocumentCommands(false);
    for (const char* name : {"mnuViewZoomIn", "mnuViewZoomOut", "mnuViewShowAll", "mnuViewAxis"})
        Action(QString::fromLatin1(name))->setEnabled(false);
}

void frmMain::UpdateDocumentCommands() {
    frmDocument* document = ActiveDocument();
    const ChartCommandStates states =
        document ? document->Chart()->CommandStates() : ChartCommandStates{};
    Action(QStringLiteral("mnuViewZoomIn"))->setEnabled(states.zoomIn);
    Action(QStringLiteral("mnuViewZoomOut"))->setEnabled(states.zoomOut);
    Action(QStringLiteral("mnuViewShowAll"))->setEnabled(states.showAll);
    Action(QStringLiteral("mnuViewAxis"))->setEnabled(states.axis);
}

bool frmMain::OpenDocument(const QString& requested) {
    QString path = requested;
    if (path.isEmpty()) {
        path = dialogs_.openFileName
                   ? dialogs_.openFileName()
                   : QFileDialog::getOpenFileName(this, QString(), QString(), kOpenFilter);
        if (path.isEmpty()) return false;
    }
    const QString name = QFileInfo(path).fileName();
    SetStatusText(StringTable::Text(Str::kOpeningFile) + name + QStringLiteral("'..."));
    // Missing, a folder, unreadable or empty: said before any window is made.
    const QString problem = DocumentOpenProblem(path);
    if (!problem.isEmpty()) {
        ShowMessage(problem);
        SetStatusText(StringTable::Text(Str::kReady));
        return false;
    }
    auto* document = new frmDocument(*this, frmDocument::Mode::File);
    QString key;
    if (!document->LoadFile(path, key)) {
        // The half-built window goes without a question.
        delete document;
        ShowMessage(key.isEmpty() ? MessageKeys::kInvalidFile : key);
        SetStatusText(StringTable::Text(Str::kReady));
        return false;
    }
    // A filled document shows all its points at full automatic scales.
    document->Chart()->DocumentFilled();
    AddDocumentWindow(document);
    AddRecentFile(path);
    SetStatusText(StringTable::Text(Str::kReady));
    return true;
}

bool frmMain::FileSave(frmDocument& document) {
    Document& d = document.Doc();
    // A running real-time window stops before its data is written; a window never saved stops
    // only once its name is chosen, so that a cancelled dialog leaves it recording.
    if (d.FilePath.isEmpty()) return FileSaveAs(document, true);
    if (!ConfirmTextsKept(document)) return false;
    if (document.IsRealTimeRunning()) document.Session()->StopReal();
    return WriteDocument(document, d.FilePath, DocumentFileType::T58,
                         StringTable::Text(Str::kSavingFile) + QFileInfo(d.FilePath).fileName() +
                             QStringLiteral("'..."));
}

bool frmMain::WriteDocument(frmDocument& document, const QString& path, DocumentFileType type,
                            const QString& statusText) {
    Document& d = document.Doc();
    SetStatusText(statusText);
    const bool communicating = std::exchange(d.bCommunicate, true);
    const bool ok = SaveDocumentFile(d, path, type, &document);
    d.bCommunicate = communicating;
    if (!ok) ShowMessage(MessageKeys::kCannotSavefile);
    // An export is no save: the readings are safe only in a .t58 file.
    if (ok && type == DocumentFileType::T58) document.DocumentSaved();
    SetStatusText(StringTable::Text(Str::kReady));
    return ok;
}

bool frmMain::FileSaveAs(frmDocument& document, bool stopRealTime) {
    Document& d = document.Doc();
    const QString proposed = WithoutRealTimeSuffix(document.Caption());
    int filter = kExtensions.indexOf(proposed.right(4).toLower());
    if (filter < 0) filter = 0;
    QString path;
    if (dialogs_.saveFileName) {
        path = dialogs_.saveFileName(proposed, filter);
    } else {
        QString selected = kSaveFilters.at(filter);
        const QString folder =
            d.FilePath.isEmpty() ? QString() : QFileInfo(d.FilePath).absolutePath();
        path = QFileDialog::getSaveFileName(this, QString(), QDir(folder).filePath(proposed),
                                            kSaveFilters.join(QStringLiteral(";;")), &selected);
        filter = std::max<int>(0, kSaveFilters.indexOf(selected));
    }
    if (path.isEmpty()) return false;
    // A name typed without one of the three extensions gets the chosen type's.
    const QString chosen = path;
    if (!kExtensions.contains(path.right(4).toLower())) path += kExtensions.at(filter);
    if (!ConfirmReplace(chosen, path)) return false;
    const QString name = QFileInfo(path).fileName();
    const DocumentFileType type = FileTypeOfPath(path).value_or(DocumentFileType::T58);
    if (type == DocumentFileType::T58 && !ConfirmTextsKept(document)) return false;
    if (stopRealTime && document.IsRealTimeRunning()) document.Session()->StopReal();

    if (type != DocumentFileType::T58)
        return WriteDocument(document, path, type,
                             StringTable::Text(Str::kExportingFile) + name + QLatin1Char('\''));
    if (!WriteDocument(document, path, type,
                       StringTable::Text(Str::kSavingFileAs) + name + QStringLiteral("'...")))
        return false;
    document.SetCaption(name);
    AddRecentFile(path);
    return true;
}

QMenu* frmMain::PagePopUp(int page) {
    switch (page) {
        case frmDocument::kInformationPage:
            return Menu(QStringLiteral("mnuPopUp3"));
        case frmDocument::kChartPage:
            return Menu(QStringLiteral("mnuPopUp2"));
        default:
            return Menu(QStringLiteral("mnuPopUp1"));
    }
}

bool frmMain::ConfirmCloseDocument(frmDocument& document) {
    Document& d = document.Doc();
    // A window that stays open also stops Close All and the program's end.
    const auto stay = [&] {
        d.bExit = false;
        CloseAllContinue = false;
        return false;
    };
    d.bExit = true;
    if (d.bCommunicate || (document.Session() && document.Session()->bRealSend())) return stay();
    // Only a window whose own filling failed goes without the question: it
    // holds no readings. A failed command elsewhere says nothing about this
    // document's data.
    if (!document.FillFailed() && (d.iSaved == Saved::kNever || d.iSaved == Saved::kChanged)) {
        const QString text = StringTable::Text(Str::kAskSave) +
                             WithoutRealTimeSuffix(document.Caption()) + QStringLiteral("'?");
        const QMessageBox::StandardButton answer =
            dialogs_.askSave
                ? dialogs_.askSave(text)
                : QMessageBox::question(this, title_, text,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) return stay();
        if (answer == QMessageBox::Yes) {
            // The save lets events run and stops when its window is closing:
            // until it is written, the window is not.
            d.bExit = false;
            const bool saved = FileSave(document);
            d.bExit = true;
            if (!saved) return stay();
        }
        // Exported only: no .t58 holds the readings, the journal stays on disk.
        if (answer == QMessageBox::Yes && d.iSaved != Saved::kUnchanged)
            document.KeepJournalOnClose();
    }
    DocumentClosed(&document);
    return true;
}

bool frmMain::PresentText(const QString& key, const QString& text, bool question) {
    MessageBoxSpec box;
    box.key = key;
    box.title = title_;
    box.text = text;
    box.style = question ? MessageStyle::Question : MessageStyle::Exclamation;
    box.yesNo = question;
    return presenter_->Present(box);
}

bool frmMain::ConfirmTextsKept(frmDocument& document) {
    // The user typed them; a "?" in their place must not come as a surprise
    // once the window is closed. No leaves the document unsaved, to be edited.
    if (t58KeepsTexts(document.Doc())) return true;
    return PresentText(QStringLiteral("Texts Not Kept"),
                       StringTable::Text(Str::kTextsNotKeptQuestion), true);
}

bool frmMain::ConfirmReplace(const QString& chosen, const QString& path) {
    if (path == chosen || !QFileInfo::exists(path)) return true;
    return PresentText(QStringLiteral("Replace File"),
                       StringTable::Text(Str::kReplaceFileQuestion).arg(QFileInfo(path).fileName()),
                       true);
}

void frmMain::RestoreUnfinishedRecordings() {
    for (const QString& path : UnfinishedJournals()) RestoreRecording(path);
}

bool frmMain::RestoreRecording(const QString& path) {
    auto journal = std::make_unique<RecordingJournal>();
    // Taken by another program meanwhile: that one offers it.
    if (!journal->Reopen(path)) return false;
    auto* document = new frmDocument(*this, frmDocument::Mode::File);
    Document& d = document->Doc();
    QString problem;
    if (!ReadJournal(path, d, problem)) {
        // Left on disk as it is: it may still be read by a later version.
        delete document;
        PresentText(
            QStringLiteral("Journal Unreadable"),
            StringTable::Text(Str::kJournalUnreadable).arg(QDir::toNativeSeparators(path), problem),
            false);
        return false;
    }
    const QString question =
        StringTable::Text(Str::kJournalRestoreQuestion).arg(d.PointCount()).arg(d.Info.Stop);
    if (!PresentText(QStringLiteral("Journal Restore"), question, true)) {
        delete document;
        // Deleted only when the user says so, knowing what goes; otherwise it
        // waits for the next start.
        if (PresentText(QStringLiteral("Journal Delete"),
                        StringTable::Text(Str::kJournalDeleteQuestion), true))
            journal->Finish();
        return false;
    }
    // A stopped real-time window that was never saved.
    document->SetCaption(d.Info.Caption);
    document->Chart()->DocumentFilled();
    document->AdoptJournal(std::move(journal));
    AddDocumentWindow(document);
    return true;
}
