#pragma once
// What every tr58 command shares: the connection chosen on the command line
// (or the program's stored choice), the link, messages on standard error and
// a progress line when standard error is a terminal.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "base/MessageCatalogue.h"
#include "base/SettingsStore.h"
#include "link/Link.h"
#include "link/PortControl.h"
#include "link/QtPump.h"

// Exit codes of the tool.
namespace Exit {
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kPartial = 3;  // done, but not all that was asked (files kept)
}  // namespace Exit

class Document;

class StderrPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override;
    // The port was given as a device path (--device): messages name the path,
    // not the COM number behind it.
    void NameDevices(bool byPath) { byPath_ = byPath; }
    // The tool's own English text for a message about the port or the
    // connection; empty for other keys.
    QString PortText(const MessageBoxSpec& box) const;
    // Called before a message is written, so that it starts on a line of its own.
    std::function<void()> beforeMessage;

private:
    bool byPath_ = false;
};

class CliSession {
public:
    CliSession();
    ~CliSession();

    // Takes the connection options (--host, --port, --device, --auto) from the
    // front of args; false with a message on a bad one.
    bool TakeConnectionOptions(QStringList& args, QString& error);
    Link& GetLink() { return *link_; }
    SettingsStore& Settings() { return store_; }
    // The user pressed Ctrl+C during this run.
    bool Interrupted() const { return interruptedByUser_; }
    // A Ctrl+C not yet seen (it is noticed while events run, and reading or
    // saving a file runs none) cancels the link now. True when the user has
    // pressed Ctrl+C during this run.
    bool TakeInterrupt();

    // A usage error of a command: message on standard error, exit code 2.
    static int Usage(const QString& message);
    // A failure the tool itself found (a file, an argument): exit code 1.
    static int Failure(const QString& message);
    // Reads a .t58 file as the program opens it; false after saying on
    // standard error why it cannot be read.
    static bool OpenDocumentFile(Document& document, const QString& path);
    // The text of the message of key, as the program would show it.
    static QString MessageText(const QString& key);
    // Text on standard output, UTF-8.
    static void Print(const QString& text);
    // The folder a command writes its files into, created (with its parents)
    // when it does not exist; false with the reason in error when it is no
    // folder or cannot be made.
    static bool MakeOutputFolder(const QString& folder, QString& error);

    // A download on a terminal shows a bar per file instead of the progress
    // line: names are the files to be read, in the order they are read.
    void ShowFileBars(const QStringList& names);
    // The current file's points have all arrived: its bar is drawn complete
    // and its line ended, before anything else is said about the file.
    void EndFileBar();
    // Ends a progress line or bar on the terminal so that a message can follow.
    void BreakProgressLine();

private:
    // The program's title names the settings store and the message boxes.
    explicit CliSession(const QString& title);
    void ShowProgress();
    // The current file's bar, redrawn; final: complete and its line ended.
    void DrawFileBar(bool final);

    SettingsStore store_;
    StderrPresenter presenter_;
    QtPump pump_;
    PortControl port_;
    std::unique_ptr<Link> link_;
    bool progressLine_ = false;
    qint64 lastProgressMs_ = 0;
    bool progressShown_ = false;  // a progress line or an unfinished bar is on the terminal
    bool interruptedByUser_ = false;
    QStringList barNames_;    // the download's files, when it shows bars
    int barFile_ = 0;         // the file (1-based) whose bar was drawn last
    bool barShown_ = false;   // that bar is on the terminal, its line not ended
    bool barEnded_ = false;   // that bar's line is ended: nothing more for that file
    QElapsedTimer barClock_;  // since that file's PLAY
};

// Each command: the arguments after its name; returns the exit code.
int RunDir(CliSession& session, const QStringList& args);
int RunInfo(CliSession& session, const QStringList& args);
int RunRaw(CliSession& session, const QStringList& args);
