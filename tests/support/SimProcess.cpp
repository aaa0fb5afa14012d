#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "base/ProgramLanguage.h"
#include "base/StringTable.h"

bool SimProcess::Start(const QStringList& extraArgs) {
    process_.setProgram(QStringLiteral(TR58_BIN_DIR "/sim/tr58sim"));
    process_.setArguments(QStringList{"--tcp", "0", "--pty"} + extraArgs);
    process_.start();
    if (!process_.waitForStarted(10000)) return false;
    QElapsedTimer timer;
    timer.start();
    QByteArray output;
    while ((tcp_.isEmpty() || pty_.isEmpty()) && timer.elapsed() < 10000) {
        process_.waitForReadyRead(200);
        output += process_.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("TCP ")) tcp_ = QString::fromLatin1(line.mid(4)).trimmed();
            if (line.startsWith("PTY ")) pty_ = QString::fromLatin1(line.mid(4)).trimmed();
        }
    }
    return !tcp_.isEmpty() && !pty_.isEmpty();
}

QString SimProcess::Stop() {
    process_.kill();
    process_.waitForFinished(5000);
    return QString::fromUtf8(process_.readAllStandardError());
}

SimProcess::~SimProcess() {
    process_.kill();
    process_.waitForFinished(5000);
}

QProcessEnvironment ToolEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return env;
}

ToolRun RunTool(const QStringList& args, int timeoutMs, const QString& workDir) {
    QProcess tool;
    QProcessEnvironment env = ToolEnvironment();
    // The tool speaks the language the test reads its texts in, whatever the
    // machine's.
    env.insert(QString::fromLatin1(kLanguageVariable), StringTable::Language());
    tool.setProcessEnvironment(env);
    if (!workDir.isEmpty()) tool.setWorkingDirectory(workDir);
    tool.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"), args);
    ToolRun run;
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        run.err = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}
