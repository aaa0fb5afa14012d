// TR58 Link on the desktop: the launcher a file manager runs for a .t58 file
// (data/desktop/tr58link.desktop) and "tr58link --version" where there is no display.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "app/CommandLine.h"
#include "support/ProjectVersion.h"

namespace {

// The value of key in the [Desktop Entry] group of a .desktop file.
QString DesktopEntryValue(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) inEntry = line == QLatin1String("[Desktop Entry]");
        if (inEntry && line.startsWith(key + u'=')) return line.mid(key.size() + 1);
    }
    return {};
}

// The MIME types a shared-mime-info package declares.
QStringList DeclaredMimeTypes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList types;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("mime-type"))
            types << xml.attributes().value(QLatin1String("type")).toString();
    }
    return xml.hasError() ? QStringList() : types;
}

const QString kLauncher = QStringLiteral(TR58_SOURCE_DIR "/data/desktop/tr58link.desktop");

}  // namespace

// The launcher's arguments as the desktop passes them: the words of Exec after the program, with
// %f replaced by the file's path as one argument (blanks and all), or dropped without a file.
QStringList LauncherArguments(const QString& file) {
    const QString exec = DesktopEntryValue(kLauncher, QStringLiteral("Exec"));
    QStringList words = exec.split(u' ', Qt::SkipEmptyParts);
    EXPECT_EQ(words.value(0), QLatin1String("tr58link")) << qPrintable(exec);
    EXPECT_EQ(words.count(QStringLiteral("%f")), 1) << qPrintable(exec);
    QStringList arguments;
    for (const QString& word : words.mid(1)) {
        if (word != QLatin1String("%f"))
            arguments << word;
        else if (!file.isEmpty())
            arguments << file;
    }
    return arguments;
}

TEST(DesktopEntry, AFileOpenedFromTheFileManagerIsOpenedByTheProgram) {
    const QString path = QStringLiteral("/home/lab tech/Kylrum Öst [I].t58");
    const CommandLineAction action =
        ParseCommandLine(CommandLineFromArguments(LauncherArguments(path)));
    EXPECT_EQ(action.kind, CommandLineAction::Kind::Open);
    EXPECT_EQ(action.path, path);
}

TEST(DesktopEntry, StartedFromTheMenuTheProgramOpensNothing) {
    // Without a file the program must not act on its command line (an open of an empty name
    // would show the Open dialog at every start from the menu).
    EXPECT_EQ(CommandLineFromArguments(LauncherArguments(QString())), QString());
}

TEST(DesktopEntry, TheLauncherTakesTheTypeTheMimePackageDeclares) {
    const QStringList types =
        DeclaredMimeTypes(QStringLiteral(TR58_SOURCE_DIR "/data/mime/tr58link.xml"));
    ASSERT_EQ(types.size(), 1);
    const QStringList handled =
        DesktopEntryValue(kLauncher, QStringLiteral("MimeType")).split(u';', Qt::SkipEmptyParts);
    EXPECT_TRUE(handled.contains(types.first())) << qPrintable(handled.join(u';'));
}

TEST(ProgramVersion, TheProgramSaysItsVersionWithoutADisplay) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TR58_BIN_DIR "/tr58link"), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();
    const QString version = ProjectVersionFromCMake();
    ASSERT_FALSE(version.isEmpty());
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()),
              QStringLiteral("tr58link %1\n").arg(version));
}
