// The manual pages in data/man: they render without a warning, they have the
// sections a manual page has, and they keep in step with the programs: every
// option and command that tr58 --help, tr58sim --help and Cablewatch's usage
// print is on the matching page.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include "app/CommandLine.h"
#include "cablewatch/CablewatchCommandLine.h"
#include "support/SimProcess.h"

namespace {

const QStringList kPages = {"tr58", "tr58sim", "tr58link", "cablewatch"};

QString PagePath(const QString& name) {
    return QStringLiteral(TR58_SOURCE_DIR "/data/man/%1.1").arg(name);
}

QString ReadPage(const QString& name) {
    QFile file(PagePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    return QString::fromUtf8(file.readAll());
}

// The page's source with the troff escapes a word may carry taken out: hyphens
// (\-), font changes (\fB), and the zero-width marks (\&, \%, \c).
QString Words(const QString& source) {
    QString text = source;
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    static const QRegularExpression kFont(QStringLiteral("\\\\f[BIRP]"));
    text.remove(kFont);
    for (const char* mark : {"\\&", "\\%", "\\c"}) text.remove(QString::fromLatin1(mark));
    return text;
}

// The options a text names: -x and --long-name.
QSet<QString> Options(const QString& text) {
    static const QRegularExpression kOption(QStringLiteral("(?<![\\w-])(--?[a-zA-Z][\\w-]*)"));
    QSet<QString> options;
    for (auto it = kOption.globalMatch(text); it.hasNext();) options.insert(it.next().captured(1));
    return options;
}

// The lines of a section (from its .SH to the next).
QStringList Section(const QString& source, const QString& title) {
    QStringList lines;
    bool inside = false;
    for (const QString& line : source.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral(".SH "))) {
            inside = line.mid(4).remove(QLatin1Char('"')) == title;
            continue;
        }
        if (inside) lines << line;
    }
    return lines;
}

// The first word of each item (.TP) of a section: what the item is about.
QSet<QString> ItemNames(const QString& source, const QString& title) {
    const QStringList lines = Section(Words(source), title);
    QSet<QString> names;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines.at(i) != QLatin1String(".TP")) continue;
        QString tag = lines.at(i + 1);
        if (tag.startsWith(QLatin1Char('.'))) tag = tag.section(QLatin1Char(' '), 1);
        tag.remove(QLatin1Char('"'));
        names.insert(tag.section(QLatin1Char(' '), 0, 0));
    }
    return names;
}

QString RunProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30000)) << qPrintable(program);
    EXPECT_EQ(process.exitCode(), 0) << qPrintable(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Runs a formatter on a page; its standard error (the warnings) and exit status.
struct Rendering {
    int exitCode = -1;
    QString output;
    QString warnings;
};
Rendering Render(const QString& program, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    env.insert(QStringLiteral("MANPAGER"), QStringLiteral("cat"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    Rendering rendering;
    if (!process.waitForFinished(60000)) return rendering;
    rendering.exitCode = process.exitCode();
    rendering.output = QString::fromUtf8(process.readAllStandardOutput());
    rendering.warnings = QString::fromUtf8(process.readAllStandardError());
    return rendering;
}

}  // namespace

TEST(ManualPages, RenderWithoutWarnings) {
    const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (man.isEmpty() && groff.isEmpty())
        GTEST_SKIP() << "neither man nor groff is installed: scripts/setup installs man-db and "
                        "groff-base";
    for (const QString& page : kPages) {
        SCOPED_TRACE(qPrintable(page));
        if (!man.isEmpty()) {
            const Rendering shown = Render(man, {"--warnings", "-l", PagePath(page)});
            EXPECT_EQ(shown.exitCode, 0);
            EXPECT_EQ(shown.warnings, QString());
            EXPECT_TRUE(shown.output.contains(QStringLiteral("EXAMPLES")))
                << qPrintable(shown.output);
        }
        if (!groff.isEmpty()) {
            // Every warning troff knows, not only man's selection.
            const Rendering strict = Render(groff, {"-man", "-ww", "-z", "-Tutf8", PagePath(page)});
            EXPECT_EQ(strict.exitCode, 0);
            EXPECT_EQ(strict.warnings, QString());
        }
    }
}

TEST(ManualPages, HaveTheSectionsOfAManualPage) {
    for (const QString& page : kPages) {
        SCOPED_TRACE(qPrintable(page));
        const QString source = ReadPage(page);
        EXPECT_TRUE(source.contains(QStringLiteral(".TH %1 1 ").arg(page.toUpper())));
        qsizetype last = -1;
        for (const char* title : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS",
                                  "ENVIRONMENT", "FILES", "EXAMPLES", "SEE ALSO"}) {
            const qsizetype at = source.indexOf(
                QRegularExpression(QStringLiteral("^\\.SH \"?%1\"?$").arg(QLatin1String(title)),
                                   QRegularExpression::MultilineOption));
            EXPECT_GT(at, last) << title << " missing or out of order";
            last = std::max(last, at);
        }
        // The language switch is on every page, if only to say it changes nothing.
        EXPECT_TRUE(Section(source, QStringLiteral("ENVIRONMENT"))
                        .join(QLatin1Char('\n'))
                        .contains(QStringLiteral("TR58_LANG")));
        EXPECT_TRUE(Section(source, QStringLiteral("EXAMPLES")).contains(QStringLiteral(".EX")));
        // Its name line reads "name \- what it is".
        EXPECT_TRUE(Section(source, QStringLiteral("NAME"))
                        .value(0)
                        .startsWith(QStringLiteral("%1 \\- ").arg(page)));
    }
}

TEST(ManualPages, Tr58PageHasEveryOptionAndCommandOfItsHelp) {
    const ToolRun help = RunTool({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    const QString page = Words(ReadPage(QStringLiteral("tr58")));
    const QSet<QString> documented = Options(page);
    const QSet<QString> options = Options(help.out);
    ASSERT_TRUE(options.contains(QStringLiteral("--host")));
    ASSERT_TRUE(options.contains(QStringLiteral("--format")));
    for (const QString& option : options)
        EXPECT_TRUE(documented.contains(option)) << qPrintable(option) << " is not on the page";

    // Each command is an item of COMMANDS.
    const QSet<QString> items = ItemNames(ReadPage(QStringLiteral("tr58")), "COMMANDS");
    static const QRegularExpression kCommand(QStringLiteral("^  ([a-z]+)( |$)"),
                                             QRegularExpression::MultilineOption);
    int commands = 0;
    for (auto it = kCommand.globalMatch(help.out.section(QStringLiteral("Commands:\n"), 1));
         it.hasNext(); ++commands) {
        const QString command = it.next().captured(1);
        EXPECT_TRUE(items.contains(command)) << qPrintable(command) << " is not in COMMANDS";
    }
    EXPECT_GE(commands, 12);
}

TEST(ManualPages, Tr58simPageHasEveryOptionOfItsHelp) {
    const QString help = RunProgram(QStringLiteral(TR58_BIN_DIR "/sim/tr58sim"), {"--help"});
    const QSet<QString> documented = Options(Words(ReadPage(QStringLiteral("tr58sim"))));
    const QSet<QString> options = Options(help);
    ASSERT_TRUE(options.contains(QStringLiteral("--fault")));
    for (const QString& option : options)
        EXPECT_TRUE(documented.contains(option)) << qPrintable(option) << " is not on the page";
    // And every fault the simulator can inject is an item under --fault: the
    // help lists them separated by commas, each with its note in brackets.
    const QSet<QString> items = ItemNames(ReadPage(QStringLiteral("tr58sim")), "OPTIONS");
    const QString list = help.section(QStringLiteral("Inject a fault (repeatable):"), 1)
                             .section(QStringLiteral("--delay"), 0, 0)
                             .simplified();
    QStringList faults{QString()};
    int depth = 0;
    for (const QChar c : list) {
        depth += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
        if (c == QLatin1Char(',') && depth == 0)
            faults << QString();
        else
            faults.last() += c;
    }
    ASSERT_GE(faults.size(), 12) << qPrintable(list);
    static const QRegularExpression kName(QStringLiteral("^([a-z-]+=?)"));
    for (const QString& fault : faults) {
        const QString name = kName.match(fault.trimmed()).captured(1);
        EXPECT_TRUE(items.contains(name)) << qPrintable(fault) << " is not an item of the page";
    }
}

TEST(ManualPages, CablewatchPageHasEveryOptionOfItsUsage) {
    const QString usage = cablewatch::CablewatchUsage();
    const QString page = Words(ReadPage(QStringLiteral("cablewatch")));
    const QSet<QString> documented = Options(page);
    const QSet<QString> options = Options(usage);
    ASSERT_TRUE(options.contains(QStringLiteral("--dump-registry")));
    for (const QString& option : options)
        EXPECT_TRUE(documented.contains(option)) << qPrintable(option) << " is not on the page";
    EXPECT_TRUE(usage.contains(QStringLiteral("/W:")));
    EXPECT_TRUE(ItemNames(ReadPage(QStringLiteral("cablewatch")), "OPTIONS")
                    .contains(QStringLiteral("/W:")));
    for (const char* variable : {"CABLEWATCH_SYSFS", "CABLEWATCH_REGISTRY"})
        EXPECT_TRUE(ItemNames(ReadPage(QStringLiteral("cablewatch")), "ENVIRONMENT")
                        .contains(QLatin1String(variable)))
            << variable;
}

TEST(ManualPages, Tr58linkPageHasTheFormsItsCommandLineTakes) {
    const QSet<QString> items = ItemNames(ReadPage(QStringLiteral("tr58link")), "OPTIONS");
    for (const char* form : {"/L:", "/P:"}) {
        // A form the program takes, so one the page must show.
        ASSERT_NE(ParseCommandLine(QStringLiteral("%1 x.t58").arg(QLatin1String(form))).kind,
                  CommandLineAction::Kind::None);
        EXPECT_TRUE(items.contains(QLatin1String(form))) << form;
    }
    EXPECT_TRUE(items.contains(QStringLiteral("--version")));
    EXPECT_TRUE(items.contains(QStringLiteral("file.t58")));
}
