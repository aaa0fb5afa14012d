#include "help/HelpTopics.h"

#include <QFileInfo>
#include <utility>

#include "base/StringTable.h"

namespace help {

namespace {

// Windows and controls with a page of their own. A real-time window is a
// document window too; the chart inside a document window has its own page.
constexpr std::pair<const char*, const char*> kTopics[] = {
    {"ChartView", "diagram.html"},
    {"frmAxis", "diagram.html#axel"},
    {"frmDocument", "dokument.html"},
    {"frmDownloadFiles", "hamta.html"},
    {"frmCommunicating", "hamta.html#forlopp"},
    {"frmRealTimeDisplaySettings", "realtid.html#installningar"},
    {"frmPrint", "utskrift.html"},
    {"frmLanConnection", "anslutning.html#lan"},
    {"frmDeviceInformation", "anslutning.html#instrumentinformation"},
    {"frmAbout", "index.html"},
    {"frmMain", "index.html"},
};

}  // namespace

QString ManualFolderFor(const QString& language, const QString& page, const QString& root) {
    const QString own = root + QLatin1Char('/') + language;
    if (QFileInfo(own + QLatin1Char('/') + page).isFile()) return own;
    return root + QStringLiteral("/sv");
}

QUrl ManualPage(const QString& pageAndAnchor) {
    const QString page = pageAndAnchor.section(QLatin1Char('#'), 0, 0);
    const QString anchor = pageAndAnchor.section(QLatin1Char('#'), 1);
    const QString folder = ManualFolderFor(StringTable::Language(), page);
    QUrl url(QStringLiteral("qrc") + folder + QLatin1Char('/') + page);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}

QUrl StartPage() {
    return ManualPage(QStringLiteral("index.html"));
}

QUrl QuickGuidePage() {
    return ManualPage(QStringLiteral("komma-igang.html"));
}

QUrl TopicFor(const QStringList& namesInnerToOuter) {
    for (const QString& name : namesInnerToOuter)
        for (const auto& [control, page] : kTopics)
            if (name == QLatin1String(control)) return ManualPage(QLatin1String(page));
    return StartPage();
}

}  // namespace help
