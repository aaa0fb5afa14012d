// The bash completion of tr58 (data/completion/tr58), run in bash as the shell
// runs it: COMP_WORDS and COMP_CWORD set, the completion function called, its
// COMPREPLY read back. The commands and options it offers are checked against
// what tr58 --help says, so the two stay in step.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "support/SimProcess.h"

namespace {

const QString kScript = QStringLiteral(TR58_SOURCE_DIR "/data/completion/tr58");

// What completing the word at index cword of words offers, run in folder.
QStringList Complete(const QStringList& words, int cword, const QString& folder = {}) {
    QProcess bash;
    if (!folder.isEmpty()) bash.setWorkingDirectory(folder);
    bash.start(QStringLiteral("bash"),
               QStringList{"--norc", "--noprofile", "-c",
                           "source \"$1\" || exit 9; shift; COMP_CWORD=$1; shift; "
                           "COMP_WORDS=(\"$@\"); _tr58; status=$?; "
                           "for reply in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$reply\"; done; "
                           "exit $status",
                           "bash", kScript, QString::number(cword)} +
                   words);
    EXPECT_TRUE(bash.waitForFinished(30000));
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().constData();
    QStringList replies = QString::fromUtf8(bash.readAllStandardOutput())
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    replies.sort();
    return replies;
}

// Completes the last word of words.
QStringList CompleteLast(const QStringList& words, const QString& folder = {}) {
    return Complete(words, static_cast<int>(words.size()) - 1, folder);
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

// tr58 --help: each command and the options its synopsis shows.
QMap<QString, QSet<QString>> HelpSynopses() {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    QMap<QString, QSet<QString>> synopses;
    static const QRegularExpression kCommandLine(QStringLiteral("^  ([a-z]+)( |$)"));
    static const QRegularExpression kOption(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    const QString commands = help.out.section(QStringLiteral("Commands:\n"), 1);
    QString command;
    for (const QString& line : commands.split(QLatin1Char('\n'))) {
        if (line.isEmpty()) continue;
        if (!line.startsWith(QLatin1Char(' '))) break;  // the notes after the commands
        const QRegularExpressionMatch start = kCommandLine.match(line);
        if (start.hasMatch()) {
            command = start.captured(1);
            synopses[command];
        } else if (!line.trimmed().startsWith(QLatin1Char('['))) {
            continue;  // the description: its examples name other commands' options
        }
        for (auto it = kOption.globalMatch(line); it.hasNext();)
            synopses[command].insert(it.next().captured(1));
    }
    return synopses;
}

// A folder of documents, other files and subfolders.
class CompletionFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        for (const char* name : {"cellar.t58", "ATTIC.T58", "notes.csv", "export.txt",
                                 "run.t58.part", "chart.png", "sub/inner.t58", "two words/a.t58"}) {
            const QString path = folder_.filePath(QString::fromUtf8(name));
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QString Path() const { return folder_.path(); }

    QTemporaryDir folder_;
};

}  // namespace

TEST(Completion, CommandsByTheirFirstLetters) {
    EXPECT_EQ(CompleteLast({"tr58", "dow"}), QStringList{"download"});
    EXPECT_EQ(CompleteLast({"tr58", "d"}), Sorted({"delete", "dir", "download"}));
    EXPECT_EQ(CompleteLast({"tr58", "st"}), QStringList{"stats"});
    // After the connection options, whatever bash made of "HOST:PORT".
    EXPECT_EQ(CompleteLast({"tr58", "--host", "10.0.0.5", ":", "2323", "con"}),
              QStringList{"convert"});
    EXPECT_EQ(CompleteLast({"tr58", "--port", "3", "--auto", "rec"}), QStringList{"recover"});
}

TEST(Completion, EveryCommandOfTheHelpIsOffered) {
    const QMap<QString, QSet<QString>> synopses = HelpSynopses();
    ASSERT_GE(synopses.size(), 12);
    EXPECT_EQ(CompleteLast({"tr58", ""}), Sorted(synopses.keys()));
}

TEST(Completion, EachCommandOffersTheOptionsItsHelpShows) {
    const QMap<QString, QSet<QString>> synopses = HelpSynopses();
    ASSERT_TRUE(synopses.value(QStringLiteral("download")).contains(QStringLiteral("--delete")));
    for (auto it = synopses.cbegin(); it != synopses.cend(); ++it) {
        SCOPED_TRACE(qPrintable(it.key()));
        const QStringList offered = CompleteLast({"tr58", it.key(), "-"});
        for (const QString& option : it.value())
            EXPECT_TRUE(offered.contains(option)) << qPrintable(option);
    }
}

TEST(Completion, DownloadOptions) {
    const QStringList offered = CompleteLast({"tr58", "download", "--"});
    EXPECT_EQ(offered, Sorted({"--all", "--newest", "--from", "--to", "--delete", "--output"}));
    // Not the connection's, not another command's.
    EXPECT_EQ(CompleteLast({"tr58", "--host", "h", "download", "1", "--d"}),
              QStringList{"--delete"});
}

TEST(Completion, ConnectionOptionsAndTheirValues) {
    EXPECT_EQ(CompleteLast({"tr58", "--"}),
              Sorted({"--host", "--port", "--device", "--auto", "--help", "--version"}));
    QStringList ports;
    for (int n = 1; n <= 16; ++n) ports << QString::number(n);
    EXPECT_EQ(CompleteLast({"tr58", "--port", ""}), Sorted(ports));
    EXPECT_EQ(CompleteLast({"tr58", "--port", "1"}),
              Sorted({"1", "10", "11", "12", "13", "14", "15", "16"}));
    EXPECT_TRUE(CompleteLast({"tr58", "--host", ""}).isEmpty());
    EXPECT_EQ(CompleteLast({"tr58", "--device", "/dev/nul"}), QStringList{"/dev/null"});
}

TEST_F(CompletionFolder, DocumentsWhereADocumentIsRead) {
    const QStringList documents = Sorted({"ATTIC.T58", "cellar.t58", "sub", "two words"});
    EXPECT_EQ(CompleteLast({"tr58", "stats", ""}, Path()), documents);
    EXPECT_EQ(CompleteLast({"tr58", "chart", ""}, Path()), documents);
    EXPECT_EQ(CompleteLast({"tr58", "pdf", ""}, Path()), documents);
    EXPECT_EQ(CompleteLast({"tr58", "convert", ""}, Path()), documents);
    EXPECT_EQ(CompleteLast({"tr58", "stats", "c"}, Path()), QStringList{"cellar.t58"});
    EXPECT_EQ(CompleteLast({"tr58", "stats", "sub/"}, Path()), QStringList{"sub/inner.t58"});
    EXPECT_EQ(CompleteLast({"tr58", "stats", "two"}, Path()), QStringList{"two words"});
    // One document is all stats takes.
    EXPECT_TRUE(CompleteLast({"tr58", "stats", "cellar.t58", ""}, Path()).isEmpty());
    // The journal of a killed recording for recover.
    EXPECT_EQ(CompleteLast({"tr58", "recover", ""}, Path()),
              Sorted({"run.t58.part", "sub", "two words"}));
}

TEST_F(CompletionFolder, FoldersAfterTheOutputOfDownloadAndConvert) {
    const QStringList folders = Sorted({"sub", "two words"});
    EXPECT_EQ(CompleteLast({"tr58", "download", "--all", "-o", ""}, Path()), folders);
    EXPECT_EQ(CompleteLast({"tr58", "download", "0", "--output", "s"}, Path()), QStringList{"sub"});
    EXPECT_EQ(CompleteLast({"tr58", "convert", "cellar.t58", "-o", ""}, Path()), folders);
    // The other commands write a file of their own type.
    EXPECT_EQ(CompleteLast({"tr58", "chart", "cellar.t58", "-o", ""}, Path()),
              Sorted({"chart.png", "sub", "two words"}));
}

TEST_F(CompletionFolder, ConvertsSecondFileMayBeTheExport) {
    EXPECT_EQ(CompleteLast({"tr58", "convert", "cellar.t58", ""}, Path()),
              Sorted({"ATTIC.T58", "cellar.t58", "export.txt", "notes.csv", "sub", "two words"}));
}

TEST(Completion, OptionValues) {
    EXPECT_EQ(CompleteLast({"tr58", "convert", "a.t58", "-o", "out", "--format", ""}),
              Sorted({"csv", "txt", "t58"}));
    EXPECT_EQ(CompleteLast({"tr58", "pdf", "a.t58", "--parts", ""}),
              Sorted({"information", "chart", "table"}));
    EXPECT_EQ(CompleteLast({"tr58", "pdf", "a.t58", "--parts", "information,c"}),
              QStringList{"information,chart"});
    EXPECT_EQ(CompleteLast({"tr58", "pdf", "a.t58", "--parts", "chart,"}),
              Sorted({"chart,information", "chart,table"}));
    EXPECT_EQ(CompleteLast({"tr58", "units", "s"}), QStringList{"set"});
    EXPECT_EQ(CompleteLast({"tr58", "raw", "V"}), QStringList{"VERS"});
}
