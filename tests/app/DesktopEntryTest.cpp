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

TEST(DesktopEntry, AFileOpenedFromTheFileManagerIsOpenedByTheProgram) {
    // The launcher's command line as the desktop runs it for one file: the words of Exec, with
    // %f replaced by the file's path as one argument (blanks and all).
    const QString exec = DesktopEntryValue(kLauncher, QStringLiteral("Exec"));
    ASSERT_FALSE(exec.isEmpty());
    QStringList words = exec.split(u' ', Qt::SkipEmptyParts);
    ASSERT_EQ(words.takeFirst(), QLatin1String("tr58link"));
    ASSERT_EQ(words.count(QStringLiteral("%f")), 1) << qPrintable(exec);
    const QString path = QStringLiteral("/home/lab tech/Kylrum Öst [I].t58");
    words.replaceInStrings(QRegularExpression(QStringLiteral("^%f$")), path);

    const CommandLineAction action = ParseCommandLine(CommandLineFromArguments(words));
    EXPECT_EQ(action.kind, CommandLineAction::Kind::Open) << qPrintable(exec);
    EXPECT_EQ(action.path, path);
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
