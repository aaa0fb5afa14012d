#include <gtest/gtest.h>

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
