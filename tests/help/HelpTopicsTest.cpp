#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "base/StringTable.h"
#include "help/HelpTopics.h"

using namespace help;

TEST(HelpTopics, PagesAreResourcesOfTheSwedishManual) {
    EXPECT_EQ(StartPage(), QUrl(QStringLiteral("qrc:/help/sv/index.html")));
    EXPECT_EQ(QuickGuidePage(), QUrl(QStringLiteral("qrc:/help/sv/komma-igang.html")));
    const QUrl lan = ManualPage(QStringLiteral("anslutning.html#lan"));
    EXPECT_EQ(lan.path(), QStringLiteral("/help/sv/anslutning.html"));
    EXPECT_EQ(lan.fragment(), QStringLiteral("lan"));
}

TEST(HelpTopics, EachWindowHasItsChapter) {
    const auto page = [](const QStringList& names) { return TopicFor(names).fileName(); };
    EXPECT_EQ(page({"frmMain", "QMainWindow"}), QStringLiteral("index.html"));
    EXPECT_EQ(page({"lvwFiles", "QTreeWidget", "frmDownloadFiles"}), QStringLiteral("hamta.html"));
    EXPECT_EQ(page({"frmDocument", "QMdiSubWindow", "frmMain"}), QStringLiteral("dokument.html"));
    EXPECT_EQ(page({"frmRealTimeDisplaySettings"}), QStringLiteral("realtid.html"));
    EXPECT_EQ(page({"chkChart", "QCheckBox", "frmPrint"}), QStringLiteral("utskrift.html"));
    EXPECT_EQ(page({"txtPort", "QLineEdit", "frmLanConnection"}),
              QStringLiteral("anslutning.html"));
}

TEST(HelpTopics, TheInnermostControlWithAChapterChooses) {
    // The chart inside a document window inside the main window.
    EXPECT_EQ(TopicFor({"ChartView", "QStackedWidget", "frmDocument", "frmMain"}).fileName(),
              QStringLiteral("diagram.html"));
    EXPECT_EQ(TopicFor({"frmAxis", "frmDocument"}),
              ManualPage(QStringLiteral("diagram.html#axel")));
    EXPECT_EQ(TopicFor({"frmRealTimeDisplaySettings", "frmMain"}).fragment(),
              QStringLiteral("installningar"));
}

TEST(HelpTopics, AWindowWithoutAChapterGetsTheStartPage) {
    EXPECT_EQ(TopicFor({}), StartPage());
    EXPECT_EQ(TopicFor({"QLineEdit", "QFileDialog"}), StartPage());
}

// The manual of the program's language where it has the page, else the
// Swedish one, which has them all.
TEST(HelpTopics, ATranslatedPageWinsTheSwedishOneStandsIn) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const auto write = [&root](const QString& path) {
        QDir(root.path()).mkpath(QFileInfo(root.filePath(path)).path());
        QFile file(root.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    };
    write(QStringLiteral("sv/index.html"));
    write(QStringLiteral("sv/hamta.html"));
    write(QStringLiteral("en/index.html"));
    const QString sv = root.path() + QStringLiteral("/sv");
    const QString en = root.path() + QStringLiteral("/en");

    EXPECT_EQ(ManualFolderFor("en", "index.html", root.path()), en);
    EXPECT_EQ(ManualFolderFor("en", "hamta.html", root.path()), sv) << "not translated yet";
    EXPECT_EQ(ManualFolderFor("sv", "index.html", root.path()), sv);
    EXPECT_EQ(ManualFolderFor("de", "index.html", root.path()), sv);
    EXPECT_EQ(ManualFolderFor("en", "", root.path()), sv) << "a folder is no page";
}

TEST(HelpTopics, WithoutAnEnglishManualTheEnglishProgramShowsTheSwedishOne) {
    ASSERT_TRUE(StringTable::SetLanguage(QStringLiteral("en")));
    const QUrl start = StartPage();
    const QUrl lan = ManualPage(QStringLiteral("anslutning.html#lan"));
    StringTable::SetLanguage(QStringLiteral("sv"));
    if (QFileInfo::exists(QStringLiteral(":/help/en/index.html")))
        GTEST_SKIP() << "the manual has an English translation";
    EXPECT_EQ(start, QUrl(QStringLiteral("qrc:/help/sv/index.html")));
    EXPECT_EQ(lan.path(), QStringLiteral("/help/sv/anslutning.html"));
}
