#pragma once
// The state of the communication progress window: a message, a bar with a
// maximum and a value, and the per-file row scaling of downloads. The window
// (or the command-line tool's progress line) observes it; the link and its
// callers drive it. Headless, so the arithmetic is tested without a screen.

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

    double Maximum() const { return maximum_; }
    double Value() const { return value_; }
    const QString& Message() const { return message_; }
    int FileCount() const { return fileCount_; }
    int CurrentFile() const { return currentFile_; }
    qint32 RowTotal() const { return rowTotal_; }

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
};
