// The manuals as shipped, the Swedish one and the English one: every chapter
// is there, every link and picture resolves inside the resources, every page
// is reachable from the contents, the pictures load in the help window, and
// the messages and captions it quotes are the program's own, in the manual's
// language.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "cablewatch/CablewatchTexts.h"
#include "document/Export.h"
#include "document/T58File.h"
#include "help/HelpTopics.h"
#include "help/frmHelp.h"

namespace {

// The chapters every manual has, under the same names in every language (the
// windows' topics name them).
const QStringList kChapters = {
    "index.html",   "komma-igang.html", "anslutning.html", "hamta.html",    "dokument.html",
    "diagram.html", "spara.html",       "realtid.html",    "utskrift.html", "felsokning.html"};

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool Write(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

QStringList Pages(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files);
}

// The manual of language in the resources.
QString ManualFolder(const QString& language) {
    return help::kManualRoot + QLatin1Char('/') + language;
}

// Every href and src of a page, as written.
QStringList Targets(const QString& html) {
    static const QRegularExpression kTarget(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QStringList targets;
    for (auto it = kTarget.globalMatch(html); it.hasNext();) targets << it.next().captured(1);
    return targets;
}

// Every anchor (id or name) of a page.
QSet<QString> Anchors(const QString& html) {
    static const QRegularExpression kAnchor(QStringLiteral("\\b(?:id|name)\\s*=\\s*\"([^\"]*)\""));
    QSet<QString> anchors;
    for (auto it = kAnchor.globalMatch(html); it.hasNext();) anchors << it.next().captured(1);
    return anchors;
}

// Text as a reader sees it: tags gone, entities and line breaks read,
// whitespace runs as one blank.
QString Plain(QString text) {
    text.replace(QRegularExpression(QStringLiteral("<br\\s*/?>")), QStringLiteral("\n"));
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text.simplified();
}

// A caption as the user reads it on screen: the accelerator's & gone ("&&"
// is a shown "&"), a word hyphenated over two lines whole again
// ("Uppdaterings-\n&intervall:"), other line breaks as blanks.
QString Shown(QString caption) {
    caption.replace(QStringLiteral("-\n"), QString());
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption.simplified();
}

// The chapters missing from the manual in folder, and a missing style sheet.
QStringList MissingChapters(const QString& folder) {
    QStringList missing;
    const QStringList pages = Pages(folder);
    for (const QString& page : kChapters)
        if (!pages.contains(page)) missing << page;
    if (!QFile::exists(folder + QStringLiteral("/style.css")))
        missing << QStringLiteral("style.css");
    return missing;
}

// What does not resolve in the manual in folder: links and pictures that lead
// nowhere or out of it, anchors that are not there, pages no link leads to,
// pictures no page shows. links counts the targets checked.
QStringList LinkProblems(const QString& folder, int* links = nullptr) {
    QStringList problems;
    QSet<QString> linkedPages;
    QSet<QString> shownImages;
    int checked = 0;
    const QStringList pages = Pages(folder);
    for (const QString& page : pages) {
        const QString html = Read(folder + QLatin1Char('/') + page);
        if (html.isEmpty()) problems << page + QStringLiteral(": empty or unreadable");
        for (const QString& target : Targets(html)) {
            ++checked;
            const QUrl url(target);
            if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
                continue;
            if (!url.isRelative()) {
                problems << page + QStringLiteral(": not inside the manual: ") + target;
                continue;
            }
            const QString file = url.path().isEmpty() ? page : url.path();
            const QString path = QDir::cleanPath(folder + QLatin1Char('/') + file);
            if (!path.startsWith(folder + QLatin1Char('/')))
                problems << page + QStringLiteral(": out of the manual: ") + target;
            if (!QFile::exists(path)) {
                problems << page + QStringLiteral(": broken link ") + target;
                continue;
            }
            if (url.hasFragment() && !Anchors(Read(path)).contains(url.fragment()))
                problems << page + QStringLiteral(": no anchor for ") + target;
            if (file.endsWith(QLatin1String(".html"))) linkedPages << file;
            if (file.endsWith(QLatin1String(".png"))) {
                shownImages << file;
                if (QImage(path).isNull())
                    problems << page + QStringLiteral(": unreadable picture ") + file;
            }
        }
    }
    // Nothing is out of reach or shipped for nothing.
    for (const QString& page : pages)
        if (page != QLatin1String("index.html") && !linkedPages.contains(page))
            problems << page + QStringLiteral(" is linked from nowhere");
    const QStringList images = QDir(folder + QStringLiteral("/images")).entryList(QDir::Files);
    if (images.isEmpty()) problems << QStringLiteral("no pictures");
    for (const QString& image : images)
        if (!shownImages.contains(QStringLiteral("images/") + image))
            problems << image + QStringLiteral(" is shown nowhere");
    if (links) *links = checked;
    return problems;
}

// The messages the manual in folder quotes that are not the program's own
// in language. A quote is <p class="msg" data-id="5076 5077">: the texts of
// those ids, in that order, with what the program puts between them (a port,
// an address) and in place of their %1, %2. quotes counts them.
QStringList MessageProblems(const QString& folder, const QString& language, int* quotes = nullptr) {
    static const QRegularExpression kMessage(
        QStringLiteral("<p class=\"msg\" data-id=\"([0-9 ]+)\">(.*?)</p>"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList problems;
    int quoted = 0;
    for (const QString& page : Pages(folder)) {
        const QString html = Read(folder + QLatin1Char('/') + page);
        for (auto it = kMessage.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString shown = Plain(match.captured(2));
            qsizetype from = 0;
            for (const QString& id :
                 match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QString text = StringTable::Text(language, id.toInt());
                if (text.isEmpty()) {
                    problems << page + QStringLiteral(": no text ") + id;
                    break;
                }
                bool found = true;
                for (const QString& piece :
                     text.split(QRegularExpression(QStringLiteral("%\\d")))) {
                    const QString words = piece.simplified();
                    if (words.isEmpty()) continue;
                    const qsizetype at = shown.indexOf(words, from);
                    if (at < 0) {
                        problems << page + QStringLiteral(": message ") + id +
                                        QStringLiteral(" reads\n") + shown +
                                        QStringLiteral("\nnot\n") + words;
                        found = false;
                        break;
                    }
                    from = at + words.size();
                }
                if (!found) break;
            }
            ++quoted;
        }
    }
    if (quotes) *quotes = quoted;
    return problems;
}

// Every caption the program in language shows, as the user reads it, with and
// without a trailing colon: the string table's texts, the file types of the
// save dialog (the same in every language) and Cablewatch's window and buttons.
QSet<QString> Captions(const QString& language) {
    QStringList texts;
    for (int id : StringTable::Ids(language)) texts << StringTable::Text(language, id);
    texts << QLatin1String(kT58FileFilter) << QLatin1String(kCsvFileFilter)
          << QLatin1String(kTxtFileFilter);
    const cablewatch::CablewatchTexts& cablewatch = cablewatch::TextsIn(language);
    texts << cablewatch.windowTitle << cablewatch.propertiesCaption
          << cablewatch.deviceManagerCaption;
    QSet<QString> captions;
    for (const QString& text : texts) {
        const QString shown = Shown(text);
        captions << shown;
        if (shown.endsWith(QLatin1Char(':'))) captions << shown.chopped(1).trimmed();
    }
    return captions;
}

// The captions the manual in folder quotes that the program in language does
// not show. In the manual <i> marks the program's own words: a menu item, a
// button, a window's or a dialog box's title, a column, a status bar text;
// "Instrument &gt; Download Files..." is a path through the menus, each step
// a caption. (Other emphasis is <em>.) quotes counts them.
QStringList CaptionProblems(const QString& folder, const QString& language, int* quotes = nullptr) {
    static const QRegularExpression kQuote(QStringLiteral("<i>(.*?)</i>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QSet<QString> captions = Captions(language);
    QStringList problems;
    int quoted = 0;
    for (const QString& page : Pages(folder)) {
        const QString html = Read(folder + QLatin1Char('/') + page);
        for (auto it = kQuote.globalMatch(html); it.hasNext();) {
            for (const QString& step : Plain(it.next().captured(1)).split(QStringLiteral(" > ")))
                if (!captions.contains(step))
                    problems << page + QStringLiteral(": the program shows no \"") + step +
                                    QStringLiteral("\"");
            ++quoted;
        }
    }
    if (quotes) *quotes = quoted;
    return problems;
}

// The manual of language copied out of the resources into dir, to be spoiled.
bool CopyManual(const QString& language, const QString& dir) {
    const QString from = ManualFolder(language);
    for (QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString source = it.next();
        const QString target = dir + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target)) return false;
    }
    return true;
}

class Manual : public ::testing::TestWithParam<const char*> {
protected:
    QString Language() const { return QLatin1String(GetParam()); }
    QString Folder() const { return ManualFolder(Language()); }
};

// A broken copy of the English manual: the checks above must see each fault.
class SpoiledManual : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(CopyManual(QStringLiteral("en"), dir.path()));
        // As shipped, the copy passes.
        ASSERT_TRUE(MissingChapters(dir.path()).isEmpty());
        ASSERT_TRUE(LinkProblems(dir.path()).isEmpty());
        ASSERT_TRUE(MessageProblems(dir.path(), QStringLiteral("en")).isEmpty());
        ASSERT_TRUE(CaptionProblems(dir.path(), QStringLiteral("en")).isEmpty());
    }
    // Replaces before with after in page of the copy.
    void Spoil(const QString& page, const QString& before, const QString& after) {
        const QString path = dir.filePath(page);
        QString html = Read(path);
        ASSERT_TRUE(html.contains(before)) << qPrintable(page + ": " + before);
        html.replace(before, after);
        ASSERT_TRUE(Write(path, html));
    }
    QTemporaryDir dir;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Languages, Manual, ::testing::Values("sv", "en"),
                         [](const auto& info) { return std::string(info.param); });

TEST_P(Manual, HasEveryChapterAndAStyle) {
    EXPECT_EQ(MissingChapters(Folder()), QStringList());
}

TEST_P(Manual, EveryLinkAndPictureResolves) {
    int links = 0;
    const QStringList problems = LinkProblems(Folder(), &links);
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join(QLatin1Char('\n')));
    EXPECT_GT(links, 50);
}

TEST_P(Manual, QuotedMessagesAreTheProgramsOwn) {
    int quotes = 0;
    const QStringList problems = MessageProblems(Folder(), Language(), &quotes);
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join(QLatin1Char('\n')));
    EXPECT_GE(quotes, 25);
}

TEST_P(Manual, QuotedCaptionsAreTheProgramsOwn) {
    int quotes = 0;
    const QStringList problems = CaptionProblems(Folder(), Language(), &quotes);
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join(QLatin1Char('\n')));
    EXPECT_GE(quotes, 80);
}

// The windows' topics name a page and an anchor ("diagram.html#axel") the same
// in every language, and so do the links between chapters: a translation keeps
// every anchor of the Swedish page it stands for.
TEST_P(Manual, HasEveryAnchorOfTheSwedishManual) {
    for (const QString& page : Pages(ManualFolder(QStringLiteral("sv")))) {
        const QSet<QString> own = Anchors(Read(Folder() + QLatin1Char('/') + page));
        for (const QString& anchor :
             Anchors(Read(ManualFolder(QStringLiteral("sv")) + QLatin1Char('/') + page)))
            EXPECT_TRUE(own.contains(anchor)) << qPrintable(page + "#" + anchor);
    }
}

TEST_F(SpoiledManual, AMissingChapterIsSeen) {
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("spara.html"))));
    EXPECT_EQ(MissingChapters(dir.path()), QStringList{QStringLiteral("spara.html")});
    // And the links to it are broken.
    EXPECT_TRUE(LinkProblems(dir.path())
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("broken link spara.html")));
}

TEST_F(SpoiledManual, ABrokenPictureOrAnchorIsSeen) {
    Spoil(QStringLiteral("anslutning.html"), QStringLiteral("images/lan.png"),
          QStringLiteral("images/lna.png"));
    Spoil(QStringLiteral("index.html"), QStringLiteral("komma-igang.html\">Getting"),
          QStringLiteral("komma-igang.html#begin\">Getting"));
    const QString problems = LinkProblems(dir.path()).join(QLatin1Char('\n'));
    EXPECT_TRUE(problems.contains(QStringLiteral("anslutning.html: broken link images/lna.png")))
        << qPrintable(problems);
    EXPECT_TRUE(problems.contains(QStringLiteral("lan.png is shown nowhere")))
        << qPrintable(problems);
    EXPECT_TRUE(problems.contains(QStringLiteral("no anchor for komma-igang.html#begin")))
        << qPrintable(problems);
}

TEST_F(SpoiledManual, AMistypedMessageIsSeen) {
    Spoil(QStringLiteral("felsokning.html"), QStringLiteral("The instrument does not respond."),
          QStringLiteral("The instrument does not answer."));
    // The Swedish text is not the English program's either.
    Spoil(QStringLiteral("felsokning.html"),
          QStringLiteral("There are no data files in the instrument."),
          StringTable::Text(QStringLiteral("sv"), 5074));
    const QStringList problems = MessageProblems(dir.path(), QStringLiteral("en"));
    ASSERT_EQ(problems.size(), 2) << qPrintable(problems.join(QLatin1Char('\n')));
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("felsokning.html: message 5084")));
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("felsokning.html: message 5074")));
}

TEST_F(SpoiledManual, AMistypedCaptionIsSeen) {
    Spoil(QStringLiteral("hamta.html"), QStringLiteral("<i>Instrument &gt; Download Files...</i>"),
          QStringLiteral("<i>Instrument &gt; Download files...</i>"));
    Spoil(QStringLiteral("anslutning.html"), QStringLiteral("<i>Device Manager...</i>"),
          QStringLiteral("<i>Enhetshanteraren...</i>"));
    EXPECT_EQ(CaptionProblems(dir.path(), QStringLiteral("en")),
              QStringList({QStringLiteral("anslutning.html: the program shows no "
                                          "\"Enhetshanteraren...\""),
                           QStringLiteral("hamta.html: the program shows no "
                                          "\"Download files...\"")}));
}

TEST(HelpWindow, ShowsAPageWithItsPicturesAndFollowsLinks) {
    frmHelp* window = frmHelp::ShowPage(help::StartPage());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frmHelp::Current(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), StringTable::Text(Str::kHelpTitle));
    QTextBrowser* browser = window->Browser();
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("TR58 Link – handbok"));
    const QVariant picture = browser->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/huvudfonster.png")));
    // Shown, and scaled down to fit a page (the screenshots are wider).
    ASSERT_TRUE(picture.isValid());
    const QImage image = picture.value<QImage>();
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(QImage(help::kManualFolder + QStringLiteral("/images/huvudfonster.png")).width(),
              640);
    EXPECT_EQ(image.width(), 640);

    // The same window shows the next page asked for; Back returns.
    EXPECT_EQ(frmHelp::ShowPage(help::ManualPage(QStringLiteral("hamta.html"))), window);
    EXPECT_EQ(window->Page().fileName(), QStringLiteral("hamta.html"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Delvis nerladdning")));
    auto* back = window->findChild<QToolButton*>(QStringLiteral("cmdBack"));
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(window->Page(), help::StartPage());
    window->findChild<QToolButton*>(QStringLiteral("cmdForward"))->click();
    EXPECT_EQ(window->Page().fileName(), QStringLiteral("hamta.html"));
    window->findChild<QToolButton*>(QStringLiteral("cmdContents"))->click();
    EXPECT_EQ(window->Page(), help::StartPage());
    delete window;
    EXPECT_EQ(frmHelp::Current(), nullptr);
}

// The English program's help window: the English manual, its own pictures and
// its own window title; the Swedish pages only where it has none.
TEST(HelpWindow, TheEnglishProgramShowsTheEnglishManual) {
    ASSERT_TRUE(StringTable::SetLanguage(QStringLiteral("en")));
    struct Swedish {
        ~Swedish() { StringTable::SetLanguage(QStringLiteral("sv")); }
    } restore;
    frmHelp* window = frmHelp::ShowPage(help::StartPage());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Page(), QUrl(QStringLiteral("qrc:/help/en/index.html")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("TR58 Link – Help"));
    QTextBrowser* browser = window->Browser();
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("TR58 Link – User Guide"));
    const QVariant picture = browser->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/main-window.png")));
    ASSERT_TRUE(picture.isValid());
    EXPECT_EQ(picture.value<QImage>().width(), 640);

    // A window's chapter, anchor and all.
    EXPECT_EQ(frmHelp::ShowPage(help::TopicFor({"frmAxis", "frmDocument"})), window);
    EXPECT_EQ(window->Page(), QUrl(QStringLiteral("qrc:/help/en/diagram.html#axel")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Zooming and showing everything")));
    delete window;
}
