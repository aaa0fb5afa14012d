#pragma once
// A document window: one set of TR58 readings in an MDI child with three
// pages, information, chart and data table. It owns its Document; the pages
// observe it. It is made in one of three ways: read from a .t58 file, built
// from a downloaded recorded-data reply, or filled by the real-time window.

#include <QWidget>
#include <memory>

#include "document/Document.h"
#include "document/DocumentHost.h"

class ChartView;
class RecordingJournal;
class DataTableModel;
class InformationPage;
class QTabWidget;
class QTableView;
class DocumentWindowHost;
class QtRealTimeTimer;
class RealTimeSession;

class frmDocument : public QWidget, public DocumentHost {
    Q_OBJECT
public:
    enum class Mode { File, Downloaded, RealTime };
    static constexpr int kInformationPage = 0;
    static constexpr int kChartPage = 1;
    static constexpr int kTablePage = 2;

    frmDocument(DocumentWindowHost& host, Mode mode);
    ~frmDocument() override;

    Document& Doc() { return document_; }
    const Document& Doc() const { return document_; }
    Mode GetMode() const { return mode_; }

    // Reads a .t58 file into the window (file mode). False when it cannot be
    // read or is rejected; messageKey says which.
    bool LoadFile(const QString& path, QString& messageKey);
    // Parses a downloaded reply (strBuf) into the window; false when the parse
    // failed (why has been shown).
    bool PlayFile();
    // The downloaded reply could not be made into this window's data: it
    // holds no readings and closes without the save question.
    bool FillFailed() const { return fillFailed_; }

    // The real-time window (real-time mode): the first request and its first
    // reading, then polls every seconds; false when the window is to close
    // again (why has been shown). stopRequest is the main window's
    // stop-request flag.
    bool StartRealTime(qint32 seconds, qint16 unit, const bool* stopRequest);
    // The recording of a real-time window; null for other windows.
    RealTimeSession* Session() const { return session_.get(); }
    // Polling (not yet stopped).
    bool IsRealTimeRunning() const;
    // The journal that keeps this window's readings on the disk until they are
    // safe in a .t58 file (a real-time recording, or one restored after a
    // crash). The window finishes it (removes the file) when its document has
    // been saved while it no longer polls, or when the window is closed on
    // purpose; a window that goes any other way leaves the journal on disk.
    void AdoptJournal(std::unique_ptr<RecordingJournal> journal);
    RecordingJournal* Journal() const { return journal_.get(); }
    void KeepJournalOnClose() { keepJournal_ = true; }
    // The document has been saved as a .t58 file.
    void DocumentSaved();

    // The caption: the file name, or the data set's safe name.
    QString Caption() const;
    void SetCaption(const QString& caption);
    // The window's icon (a toolbar image: "Document", "Realtime").
    void SetIcon(const QString& name);

    Q_INVOKABLE void ShowPage(int page);
    int CurrentPage() const;
    // The Copy command on this window (selected text, the chart picture or
    // table cells, by where the user is).
    void Copy();

    ChartView* Chart() const { return chart_; }
    InformationPage* Information() const { return information_; }
    QTableView* Table() const { return msgTable_; }
    DataTableModel* TableModel() const { return tableModel_; }

    // DocumentHost.
    void Yield() override;
    void SetDocumentCommands(bool enabled) override;

signals:
    // The chart's zoom commands changed (for the main window's menus).
    void ChartCommandsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowTableRow(qint32 row, qint32 topRow);
    // The real-time window's colours while it polls and after.
    void SetRealTimeLook(bool polling);
    // Keeps the points from index from in the window's journal.
    void KeepInJournal(qint32 from);
    void UpdateLegend();

    DocumentWindowHost& host_;  // the program around the window
    Mode mode_;
    Document document_;
    QTabWidget* tabs_ = nullptr;
    InformationPage* information_ = nullptr;
    ChartView* chart_ = nullptr;
    QTableView* msgTable_ = nullptr;
    DataTableModel* tableModel_ = nullptr;
    bool fillFailed_ = false;
    // Real time: the window's timer, its acquisition and the window as the
    // acquisition sees it.
    class RealTimeAdapter;
    std::unique_ptr<QtRealTimeTimer> timer_;
    std::unique_ptr<RealTimeAdapter> realTimeWindow_;
    std::unique_ptr<RealTimeSession> session_;
    std::unique_ptr<RecordingJournal> journal_;
    bool keepJournal_ = false;
    bool journalFailed_ = false;  // the last journal write failed (said; tried again)
};
