#pragma once
// The instrument simulator as a separate process, for end-to-end tests over
// real TCP and a real pseudo-terminal, and a helper to run the tr58 tool.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class SimProcess {
public:
    // Starts tr58sim with the given extra arguments, serving TCP on a free
    // port and a pseudo-terminal; false when it did not report both.
    bool Start(const QStringList& extraArgs = {});
    ~SimProcess();

    QString TcpAddress() const { return tcp_; }  // "127.0.0.1:PORT"
    QString PtyPath() const { return pty_; }
    // Stops the simulator and returns what it wrote on standard error (with
    // --verbose: every command it received and its memory after a deletion).
    QString Stop();

private:
    QProcess process_;
    QString tcp_;
    QString pty_;
};

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The environment tests start build/tools/tr58/tr58 in: the tool reads the
// program's settings, and tests keep theirs apart.
QProcessEnvironment ToolEnvironment();

// Runs build/tools/tr58/tr58 with args, waiting up to timeoutMs.
ToolRun RunTool(const QStringList& args, int timeoutMs = 120000, const QString& workDir = {});
