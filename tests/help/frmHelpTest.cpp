// The manual as shipped: every link and picture resolves inside the
// resources, every page is reachable from the contents, the pictures load in
// the help window, and the messages it quotes are the program's own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "help/HelpTopics.h"
#include "help/frmHelp.h"

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Pages() {
    return QDir(help::kManualFolder).entryList({QStringLiteral("*.html")}, QDir::Files);
}

// Every href and src of a page, as written.
QStringList Targets(const QString& html) {
    static const QRegularExpression kTarget(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QStringList targets;
    for (auto it = kTarget.globalMatch(html); it.hasNext();) targets << it.next().captured(1);
    return targets;
}

bool HasAnchor(const QString& html, const QString& anchor) {
    return html.contains(QStringLiteral("id=\"%1\"").arg(anchor)) ||
           html.contains(QStringLiteral("name=\"%1\"").arg(anchor));
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

}  // namespace

TEST(Manual, HasEveryChapterAndAStyle) {
    const QStringList pages = Pages();
    for (const char* page :
         {"index.html", "komma-igang.html", "anslutning.html", "hamta.html", "dokument.html",
          "diagram.html", "spara.html", "realtid.html", "utskrift.html", "felsokning.html"})
        EXPECT_TRUE(pages.contains(QLatin1String(page))) << page;
}

TEST(Manual, EveryLinkAndPictureResolves) {
    QSet<QString> linkedPages;
    QSet<QString> shownImages;
    int checked = 0;
    for (const QString& page : Pages()) {
        const QString html = Read(help::kManualFolder + QLatin1Char('/') + page);
        ASSERT_FALSE(html.isEmpty()) << qPrintable(page);
        for (const QString& target : Targets(html)) {
            const QUrl url(target);
            if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
                continue;
            ASSERT_TRUE(url.isRelative()) << qPrintable(page + ": " + target);
            const QString file = url.path().isEmpty() ? page : url.path();
            const QString path = QDir::cleanPath(help::kManualFolder + QLatin1Char('/') + file);
            EXPECT_TRUE(path.startsWith(help::kManualFolder + QLatin1Char('/')))
                << qPrintable(page + ": " + target);
            EXPECT_TRUE(QFile::exists(path)) << qPrintable(page + ": broken link " + target);
            if (url.hasFragment())
                EXPECT_TRUE(HasAnchor(Read(path), url.fragment()))
                    << qPrintable(page + ": no anchor for " + target);
            if (file.endsWith(QLatin1String(".html"))) linkedPages << file;
            if (file.endsWith(QLatin1String(".png"))) {
                shownImages << file;
                EXPECT_FALSE(QImage(path).isNull()) << qPrintable(page + ": unreadable " + file);
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
    // Nothing is out of reach or shipped for nothing.
    for (const QString& page : Pages())
        if (page != QLatin1String("index.html"))
            EXPECT_TRUE(linkedPages.contains(page)) << qPrintable(page + " is linked from nowhere");
    const QStringList images =
        QDir(help::kManualFolder + QStringLiteral("/images")).entryList(QDir::Files);
    EXPECT_FALSE(images.isEmpty());
    for (const QString& image : images)
        EXPECT_TRUE(shownImages.contains(QStringLiteral("images/") + image))
            << qPrintable(image + " is shown nowhere");
}

TEST(Manual, QuotedMessagesAreTheProgramsOwn) {
    // <p class="msg" data-id="5076 5077">: the texts of those ids, in that
    // order, with what the program puts between them (a port, an address)
    // and in place of their %1, %2.
    static const QRegularExpression kMessage(
        QStringLiteral("<p class=\"msg\" data-id=\"([0-9 ]+)\">(.*?)</p>"),
        QRegularExpression::DotMatchesEverythingOption);
    int quoted = 0;
    for (const QString& page : Pages()) {
        const QString html = Read(help::kManualFolder + QLatin1Char('/') + page);
        for (auto it = kMessage.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString shown = Plain(match.captured(2));
            qsizetype from = 0;
            for (const QString& id :
                 match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QString text = StringTable::Text(id.toInt());
                ASSERT_FALSE(text.isEmpty()) << qPrintable(page + ": no text " + id);
                for (const QString& piece :
                     text.split(QRegularExpression(QStringLiteral("%\\d")))) {
                    const QString words = piece.simplified();
                    if (words.isEmpty()) continue;
                    const qsizetype at = shown.indexOf(words, from);
                    ASSERT_GE(at, 0) << qPrintable(page + ": message " + id + " reads\n" + shown +
                                                   "\nnot\n" + words);
                    from = at + words.size();
                }
            }
            ++quoted;
        }
    }
    EXPECT_GE(quoted, 25);
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
