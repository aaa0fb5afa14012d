#include "app/frmDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "app/DocumentWindowHost.h"
#include "app/FrozenColumnsTableView.h"
#include "app/InformationPage.h"
#include "base/GuiCaptions.h"
#include "base/GuiImages.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "chart/ChartView.h"
#include "document/DataTableModel.h"
#include "document/T58File.h"
#include "download/RecordedDataFill.h"
#include "link/Link.h"
#include "realtime/RealTimeSession.h"
#include "realtime/RealTimeTimer.h"

// The real-time window as its acquisition sees it.
class frmDocument::RealTimeAdapter : public RealTimeWindow {
public:
    explicit RealTimeAdapter(frmDocument& window) : window_(window) {}
    QString StatusText() const override { return window_.host_.StatusText(); }
    void SetStatusText(const QString& text) override { window_.host_.SetStatusText(text); }
    void ShowStopped(bool asDocument) override {
        // Grey again: the window no longer follows the instrument.
        window_.SetRealTimeLook(false);
        if (asDocument) {
            const QString suffix = QLatin1Char(' ') + StringTable::Text(Str::kRealTimeSuffix);
            QString caption = window_.Caption();
            if (caption.endsWith(suffix)) caption.chop(suffix.size());
            if (!caption.isEmpty()) window_.SetCaption(caption);
            window_.SetIcon(QStringLiteral("Document"));
        }
        window_.host_.RealTimeStopped(window_);
    }
    void FollowNewest() override {}
    void Yield() override { window_.Yield(); }
    void SetDocumentCommands(bool enabled) override { window_.SetDocumentCommands(enabled); }

private:
    frmDocument& window_;
};
#include "realtime/RecordingJournal.h"

frmDocument::frmDocument(DocumentWindowHost& host, Mode mode) : host_(host), mode_(mode) {
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    SetIcon(mode == Mode::RealTime ? QStringLiteral("Realtime") : QStringLiteral("Document"));
    document_.bKapula = mode == Mode::Downloaded;
    document_.bRealTime = mode == Mode::RealTime;

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabDocument"));
    tabs_->setProperty("TabTags",
                       QStringList{Str::Tag(Str::kTabInformation), Str::Tag(Str::kTabChart),
                                   Str::Tag(Str::kTabDataTable)});
    information_ = new InformationPage(document_, tabs_);
    chart_ = new ChartView(tabs_);
    chart_->setObjectName(QStringLiteral("ChartView"));
    // The row number and the time stay in view when the values scroll right.
    msgTable_ = new FrozenColumnsTableView(2, tabs_);
    msgTable_->setObjectName(QStringLiteral("msgTable"));
    tableModel_ = new DataTableModel(document_, msgTable_);
    msgTable_->setModel(tableModel_);
    msgTable_->verticalHeader()->hide();
    // Fixed row heights and no wrapping: a screen of 65000 rows is painted
    // without measuring any text.
    msgTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msgTable_->setWordWrap(false);
    msgTable_->verticalHeader()->setDefaultSectionSize(msgTable_->fontMetrics().height() + 6);
    msgTable_->horizontalHeader()->setDefaultSectionSize(100);
    // The number and the time columns fit what they show, also after the
    // quantities have been laid out again.
    auto fitColumns = [this] {
        const QFontMetrics metrics = msgTable_->fontMetrics();
        msgTable_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("650000")) + 12);
        msgTable_->setColumnWidth(1, metrics.horizontalAdvance(FormatDateTimeLocal(
                                         QDateTime(QDate(2026, 12, 30), QTime(23, 59, 59)))) +
                                         16);
    };
    fitColumns();
    connect(tableModel_, &QAbstractItemModel::modelReset, this, fitColumns);
    msgTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msgTable_->setContextMenuPolicy(Qt::CustomContextMenu);
    tabs_->addTab(information_, Str::Tag(Str::kTabInformation));
    tabs_->addTab(chart_, Str::Tag(Str::kTabChart));
    tabs_->addTab(msgTable_, Str::Tag(Str::kTabDataTable));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tabs_);

    ApplyCaptions(this);
    chart_->SetDocument(&document_);

    // Each page pops the main window's context menu for it.
    connect(information_, &InformationPage::ContextMenuRequested, this,
            [this](const QPoint& at) { host_.PagePopUp(kInformationPage)->popup(at); });
    connect(information_, &InformationPage::StatusText, this,
            [this](const QString& text) { host_.SetStatusText(text); });
    connect(chart_, &ChartView::ContextMenuRequested, this,
            [this](const QPoint& at) { host_.PagePopUp(kChartPage)->popup(at); });
    connect(msgTable_, &QTableView::customContextMenuRequested, this, [this](const QPoint& at) {
        host_.PagePopUp(kTablePage)->popup(msgTable_->viewport()->mapToGlobal(at));
    });
    connect(chart_, &ChartView::TableRowRequested, this, &frmDocument::ShowTableRow);
    connect(chart_, &ChartView::SlotsChanged, this, &frmDocument::UpdateLegend);
    connect(chart_, &ChartView::CommandStatesChanged, this,
            [this] { emit ChartCommandsChanged(); });
}

frmDocument::~frmDocument() {
    document_.bExit = true;
    session_.reset();
    chart_->SetDocument(nullptr);
    // The pages observe the document: they go before it does.
    delete tabs_;
}

bool frmDocument::LoadFile(const QString& path, QString& messageKey) {
    document_.bCommunicate = true;
    const bool ok = t58FormatOpen(document_, path, this, &messageKey);
    document_.bCommunicate = false;
    if (!ok) return false;
    SetCaption(QFileInfo(path).fileName());
    SetDocumentCommands(true);
    return true;
}

bool frmDocument::PlayFile() {
    document_.iSaved = Saved::kNever;
    document_.bCommunicate = true;
    Link& link = host_.GetLink();
    LinkState& state = link.State();
    bool ok = false;
    if (!state.CommandFailed && !document_.bExit) {
        const QString reply = std::exchange(document_.strBuf, QString());
        const ReplyFill fill = FillDocumentFromReply(
            document_, reply, state, link.IsCommunicating() ? &link.Progress() : nullptr, this);
        NoteReplyFill(fill, state);
        if (!fill.messageKey.isEmpty()) link.ShowMessage(state.MessageKey);
        ok = !fill.failed;
    }
    document_.bCommunicate = false;
    fillFailed_ = !ok;
    if (ok) SetCaption(document_.Info.Caption);
    return ok;
}

bool frmDocument::StartRealTime(qint32 seconds, qint16 unit, const bool* stopRequest) {
    Link& link = host_.GetLink();
    timer_ = std::make_unique<QtRealTimeTimer>();
    realTimeWindow_ = std::make_unique<RealTimeAdapter>(*this);
    session_ = std::make_unique<RealTimeSession>(link, document_, *timer_, *realTimeWindow_);
    session_->SetInterval(seconds, unit);
    session_->SetStopRequestFlag(stopRequest);
    session_->onPointsAdded = [this](qint32 from) { KeepInJournal(from); };
    const bool ok = session_->Open();
    // A window that could not start goes; the user has been told why.
    if (!ok && journal_) {
        journal_->Finish();
        journal_.reset();
    }
    fillFailed_ = !ok;
    if (ok) {
        chart_->DocumentFilled();
        SetRealTimeLook(true);
    }
    return ok;
}

void frmDocument::KeepInJournal(qint32 from) {
    // Every reading goes to the disk before the next poll: a crash, a power
    // cut or a killed program leaves the journal to restore it from.
    // A journal that could not be started is tried again with every reading,
    // as a failed append is: a disk full for a moment must not leave the rest
    // of a recording without one. It then holds every reading so far.
    QString problem;
    bool kept = false;
    if (journal_) {
        kept = journal_->Append(document_, from);
    } else {
        auto journal = std::make_unique<RecordingJournal>();
        kept = journal->Begin(NewJournalPath(), document_, &problem);
        if (kept) journal_ = std::move(journal);
    }
    // Said once an outage: the recording goes on, but the user must know that
    // it is no longer safe on the disk and save it in time. A journal that
    // works again is told of the next outage too.
    if (kept) journalFailed_ = false;
    if (kept || journalFailed_) return;
    journalFailed_ = true;
    if (problem.isEmpty())
        problem = StringTable::Text(Str::kJournalCannotWrite)
                      .arg(journal_ ? journal_->Path() : QString());
    QTimer::singleShot(0, this, [this, problem] {
        host_.PresentText(QStringLiteral("Journal Cannot Write"), problem, false);
    });
}

void frmDocument::SetRealTimeLook(bool polling) {
    // A polling window has the window-background colour (white), a stopped
    // one the button face, as every other document.
    QPalette look = palette();
    const QPalette::ColorRole role = polling ? QPalette::Base : QPalette::Button;
    look.setColor(QPalette::Window, QApplication::palette().color(role));
    setPalette(look);
    setBackgroundRole(role);
    setAutoFillBackground(true);
}

bool frmDocument::IsRealTimeRunning() const {
    return session_ && document_.bRealTime;
}

void frmDocument::SetIcon(const QString& name) {
    setWindowIcon(ToolbarImage(name));
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowIcon(windowIcon());
}

void frmDocument::AdoptJournal(std::unique_ptr<RecordingJournal> journal) {
    journal_ = std::move(journal);
}

void frmDocument::DocumentSaved() {
    // While the window still polls, more readings come that are in no file yet.
    if (journal_ && !document_.bRealTime) {
        journal_->Finish();
        journal_.reset();
    }
}

QString frmDocument::Caption() const {
    return windowTitle();
}

void frmDocument::SetCaption(const QString& caption) {
    setWindowTitle(caption);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(caption);
}

void frmDocument::ShowPage(int page) {
    tabs_->setCurrentIndex(page);
}

int frmDocument::CurrentPage() const {
    return tabs_->currentIndex();
}

void frmDocument::Yield() {
    QCoreApplication::processEvents();
}

void frmDocument::SetDocumentCommands(bool enabled) {
    host_.SetDocumentCommands(enabled);
}

void frmDocument::UpdateLegend() {
    for (int q = 0; q < document_.QuantityCount(); ++q)
        information_->SetLegendColour(q, chart_->QuantityColour(q));
}

void frmDocument::ShowTableRow(qint32 row, qint32 topRow) {
    ShowPage(kTablePage);
    if (row < 1 || row > tableModel_->rowCount()) return;
    msgTable_->clearSelection();
    msgTable_->selectRow(row - 1);
    const qint32 top = std::clamp<qint32>(topRow, 1, tableModel_->rowCount());
    msgTable_->scrollTo(tableModel_->index(top - 1, 0), QAbstractItemView::PositionAtTop);
}

void frmDocument::Copy() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    // Selected text in the name or notes box goes as text.
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus); line && line->hasSelectedText()) {
        clipboard->setText(line->selectedText());
        return;
    }
    if (auto* notes = qobject_cast<QPlainTextEdit*>(focus);
        notes && notes->textCursor().hasSelection()) {
        clipboard->setText(notes->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                                      QLatin1String("\r\n")));
        return;
    }
    if (CurrentPage() == kChartPage) {
        chart_->CopyBitmapToC();
    } else if (CurrentPage() == kTablePage) {
        host_.SetStatusText(StringTable::Text(Str::kCopyingDataTable));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QModelIndexList selected = msgTable_->selectionModel()->selectedIndexes();
        int row1 = 1, row2 = 1, column1 = 0, column2 = 0;
        if (!selected.isEmpty()) {
            row1 = row2 = selected.first().row() + 1;
            column1 = column2 = selected.first().column();
            for (const QModelIndex& index : selected) {
                row1 = std::min(row1, index.row() + 1);
                row2 = std::max(row2, index.row() + 1);
                column1 = std::min(column1, index.column());
                column2 = std::max(column2, index.column());
            }
        } else if (msgTable_->currentIndex().isValid()) {
            row1 = row2 = msgTable_->currentIndex().row() + 1;
            column1 = column2 = msgTable_->currentIndex().column();
        }
        clipboard->setText(CopyCellsText(*tableModel_, row1, column1, row2, column2));
        QApplication::restoreOverrideCursor();
        host_.SetStatusText(StringTable::Text(Str::kReady));
    }
}

void frmDocument::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmDocument::closeEvent(QCloseEvent* event) {
    if (!host_.ConfirmCloseDocument(*this)) {
        event->ignore();
        return;
    }
    // A real-time window that closes stops polling first (without asking:
    // the user closed it).
    if (session_ && document_.bRealTime) session_->StopReal();
    // Closed on purpose: saved, or the user chose not to keep the readings.
    if (journal_) {
        if (keepJournal_)
            journal_->Close();
        else
            journal_->Finish();
        journal_.reset();
    }
    event->accept();
}
