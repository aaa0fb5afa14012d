// The tr58 tool in the program's language: its messages and the information
// it prints follow TR58_LANG, while the instrument's texts, the .t58 file and
// the exported columns stay the same in both languages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/StringTable.h"
#include "support/SimProcess.h"

namespace {

// RunTool passes the test's language on as TR58_LANG.
ToolRun RunIn(const char* language, const QStringList& args) {
    const QString before = StringTable::Language();
    EXPECT_TRUE(StringTable::SetLanguage(QLatin1String(language)));
    ToolRun run = RunTool(args);
    StringTable::SetLanguage(before);
    return run;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(CliLanguage, MessagesFollowTr58Lang) {
    const QStringList args = {"stats", "/nonexistent/a.t58"};
    const ToolRun english = RunIn("en", args);
    EXPECT_EQ(english.exitCode, 1);
    EXPECT_TRUE(english.err.contains(QStringLiteral("Cannot find this file.")))
        << qPrintable(english.err);
    const ToolRun swedish = RunIn("sv", args);
    EXPECT_EQ(swedish.exitCode, 1);
    EXPECT_TRUE(swedish.err.contains(QStringLiteral("Kan inte hitta den här filen.")))
        << qPrintable(swedish.err);
}

TEST(CliLanguage, TheProgramsWordsChangeTheInstrumentsDoNot) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--no-probe"}));
    const ToolRun english = RunIn("en", {"--host", sim.TcpAddress(), "info"});
    ASSERT_EQ(english.exitCode, 0) << qPrintable(english.err);
    EXPECT_TRUE(english.out.contains(QStringLiteral("version\t(No probe connected)\n")))
        << qPrintable(english.out);
    EXPECT_TRUE(english.out.contains(QStringLiteral("instrument serial number\tT2640117\n")));
    const ToolRun swedish = RunIn("sv", {"--host", sim.TcpAddress(), "info"});
    ASSERT_EQ(swedish.exitCode, 0) << qPrintable(swedish.err);
    EXPECT_TRUE(swedish.out.contains(QStringLiteral("version\t(Ingen mätprob ansluten)\n")));
}

TEST(CliLanguage, FilesAndExportsAreTheSameInBothLanguages) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray t58[2];
    QByteArray csv[2];
    QString stats[2];
    const char* languages[2] = {"en", "sv"};
    for (int i = 0; i < 2; ++i) {
        const QString folder = dir.filePath(QLatin1String(languages[i]));
        ASSERT_TRUE(QDir().mkpath(folder));
        // File 1, "Kylrum Öst [I]": the instrument's names with its special characters.
        const ToolRun download =
            RunIn(languages[i], {"--host", sim.TcpAddress(), "download", "1", "-o", folder});
        ASSERT_EQ(download.exitCode, 0) << qPrintable(download.err);
        const QStringList saved = QDir(folder).entryList({QStringLiteral("*.t58")}, QDir::Files);
        ASSERT_EQ(saved.size(), 1);
        const QString file = QDir(folder).filePath(saved.first());
        const QString exported = QDir(folder).filePath(QStringLiteral("out.csv"));
        ASSERT_EQ(RunIn(languages[i], {"convert", file, exported}).exitCode, 0);
        t58[i] = Contents(file);
        csv[i] = Contents(exported);
        stats[i] = RunIn(languages[i], {"stats", file}).out;
    }
    EXPECT_FALSE(t58[0].isEmpty());
    EXPECT_EQ(t58[0], t58[1]);
    EXPECT_FALSE(csv[0].isEmpty());
    EXPECT_EQ(csv[0], csv[1]);
    // The information the program writes is in its language.
    EXPECT_TRUE(stats[0].contains(QStringLiteral("Data points:"))) << qPrintable(stats[0]);
    EXPECT_TRUE(stats[1].contains(QStringLiteral("Datapunkter:"))) << qPrintable(stats[1]);
}
