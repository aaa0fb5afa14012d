#pragma once
// The state of the communication progress window: a message, a bar with a
// maximum and a value, and the per-file row scaling of downloads. The window
// (or the command-line tool's progress line) observes it; the link and its
// callers drive it. Headless, so the arithmetic is tested without a screen.

#include <QList>
#include <QString>
#include <functional>

class CommunicationProgress {
public:
    // Loading resets the window state (file count, current file, rows) and the
    // bar; the window shows itself when loaded and hides when unloaded.
    void Load();
    void Unload();
    bool IsLoaded() const { return loaded_; }
    // The engine hides the window before it shows a failure message.
    void Hide();
    void Show();
    bool IsVisible() const { return loaded_ && visible_; }

    void SetMaximum(double maximum);
    // Raises the maximum to n when it is below, then shows n.
    void SetValue(int n);
    // One step further (detection advances one step per port).
    void Advance() { SetValue(static_cast<int>(value_) + 1); }
    void SetMsg(const QString& text);
    void SetFileCount(int n);
    void SetFileNow(int n);
    void SetFileRows(qint32 rows);
    void SetRowValue(qint32 row);

    // Sizes the bar to the work asked for: one share per file, as large as the
    // points expected from it (received and parsed, plus its header lines).
    // When a file's header tells its real point count, its share follows.
    void SetFilePlan(const QList<qint32>& points);
    // The points of the current file received so far (shown, not the bar).
    void SetPointsReceived(qint32 points);

    // While the instrument keeps the program waiting (wake-up, detection, a
    // reply that has not begun) the window shows that it waits and for how
    // long; Begin keeps the start of a wait already running.
    void BeginWait();
    void SetWaitElapsed(double seconds);
    void EndWait();
    bool Waiting() const { return waiting_; }
    int WaitSeconds() const { return waitSeconds_; }
    // A wait of a second or more is shown; shorter ones would only flicker.
    bool ShowsWaiting() const { return waiting_ && waitSeconds_ >= 1; }

    // The line under the message: "Fil 2 av 5", the points so far and, while
    // the instrument is awaited, the seconds waited. Empty when there is
    // nothing to add.
    QString DetailText() const;

    double Maximum() const { return maximum_; }
    double Value() const { return value_; }
    const QString& Message() const { return message_; }
    int FileCount() const { return fileCount_; }
    int CurrentFile() const { return currentFile_; }
    qint32 RowTotal() const { return rowTotal_; }
    qint32 PointsReceived() const { return pointsNow_; }
    // The points expected from the current file (0 when not known).
    qint32 FilePoints() const { return filePoints_; }

    // Called after every change, so a window or a progress line can follow.
    std::function<void()> onChange;

private:
    void Changed() {
        if (onChange) onChange();
    }

    bool loaded_ = false;
    bool visible_ = false;
    double maximum_ = 100;
    double value_ = 0;
    QString message_;
    int fileCount_ = 0;
    int currentFile_ = 0;
    qint32 rowTotal_ = 0;
    QList<qint32> shares_;  // the bar's share of each file of a plan
    qint32 filePoints_ = 0;
    qint32 pointsNow_ = 0;
    bool waiting_ = false;
    int waitSeconds_ = 0;
};
