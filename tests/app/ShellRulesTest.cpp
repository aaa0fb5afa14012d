// The shell's rules that need no screen: captions ids, recent files, the
// command line, dropped files, the settings, LAN hosts and program files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/CommandLine.h"
#include "app/MainWindowSettings.h"
#include "app/ProgramFiles.h"
#include "app/RecentFiles.h"
#include "app/WindowPlacement.h"
#include "base/Branding.h"
#include "base/CaptionRules.h"
#include "base/SettingsStore.h"
#include "link/LanHostList.h"
#include "link/LinkSettings.h"
#include "link/LinkState.h"

TEST(CaptionRules, WholeNumbersForLabelsLeadingNumbersForOtherControls) {
    EXPECT_EQ(WholeNumberId("5029"), 5029);
    EXPECT_EQ(WholeNumberId(" 1000 "), 1000);
    EXPECT_FALSE(WholeNumberId("12abc"));
    EXPECT_FALSE(WholeNumberId(""));
    EXPECT_FALSE(WholeNumberId("70000")) << "not a 16-bit id";
    EXPECT_EQ(LeadingNumberId("12abc"), 12);
    EXPECT_EQ(LeadingNumberId("abc"), 0);
    EXPECT_EQ(LeadingNumberId("5024"), 5024);
}

TEST(CaptionRules, EastAsianLocalesGetTheirFontsOthersKeepTheirs) {
    EXPECT_EQ(FontRuleForLocale(1042).charset, 129);
    EXPECT_EQ(FontRuleForLocale(1042).family, QString::fromUtf16(u"\uAD74\uB9BC"));
    EXPECT_EQ(FontRuleForLocale(2052).pointSize, 9);
    EXPECT_EQ(FontRuleForLocale(1041).family.size(), 8);
    const FontRule swedish = FontRuleForLocale(1053);
    EXPECT_TRUE(swedish.family.isEmpty());
    EXPECT_EQ(swedish.pointSize, 8);
    EXPECT_EQ(WindowsLocaleId(QLocale(QLocale::Chinese, QLocale::Taiwan)), 1028);
    EXPECT_EQ(WindowsLocaleId(QLocale(QLocale::Chinese, QLocale::China)), 2052);
    EXPECT_EQ(WindowsLocaleId(QLocale(QLocale::Swedish, QLocale::Sweden)), 1053);
}

TEST(RecentFiles, KnownPathMovesToTopAndFifthPushesOldestOut) {
    RecentFiles recent;
    for (const char* path : {"/a.t58", "/b.t58", "/c.t58", "/d.t58"}) recent.Add(path);
    EXPECT_EQ(recent.At(0), "/d.t58");
    EXPECT_EQ(recent.At(3), "/a.t58");
    recent.Add("/b.t58");
    EXPECT_EQ(recent.At(0), "/b.t58");
    EXPECT_EQ(recent.At(1), "/d.t58");
    EXPECT_EQ(recent.At(2), "/c.t58");
    EXPECT_EQ(recent.At(3), "/a.t58") << "no duplicate, nothing lost";
    recent.Add("/e.t58");
    EXPECT_EQ(recent.At(0), "/e.t58");
    EXPECT_EQ(recent.At(3), "/c.t58") << "the oldest went";
    recent.Add("/E.t58");
    EXPECT_EQ(recent.At(1), "/e.t58") << "compared exactly";
}

TEST(CommandLine, OpenAndPrintPrefixesTakeTheNameFromTheFifthCharacter) {
    const CommandLineAction open = ParseCommandLine("/L: /data/lab 1.t58");
    EXPECT_EQ(open.kind, CommandLineAction::Kind::Open);
    EXPECT_EQ(open.path, "/data/lab 1.t58");
    const CommandLineAction glued = ParseCommandLine("/L:/data/x.t58");
    EXPECT_EQ(glued.path, "data/x.t58") << "the character after the colon is skipped";
    const CommandLineAction print = ParseCommandLine("/p: report.t58");
    EXPECT_EQ(print.kind, CommandLineAction::Kind::Print);
    EXPECT_EQ(print.path, "report.t58");
    EXPECT_EQ(ParseCommandLine("report.t58").kind, CommandLineAction::Kind::None);
    EXPECT_EQ(ParseCommandLine("").kind, CommandLineAction::Kind::None);
}

TEST(CommandLine, OneFileArgumentIsOpenedTheOtherFormsAsTyped) {
    // A file manager passes the file alone, blanks and all.
    EXPECT_EQ(CommandLineFromArguments({"/home/lab tech/Lab 1.t58"}),
              "/L: /home/lab tech/Lab 1.t58");
    EXPECT_EQ(CommandLineFromArguments({"Lab.t58"}), "/L: Lab.t58");
    // The program's own forms, in one word or two, stay what they were.
    EXPECT_EQ(CommandLineFromArguments({"/L:", "/data/x.t58"}), "/L: /data/x.t58");
    EXPECT_EQ(CommandLineFromArguments({"/p:", "report.t58"}), "/p: report.t58");
    EXPECT_EQ(CommandLineFromArguments({"/L:/data/x.t58"}), "/L:/data/x.t58");
    EXPECT_EQ(CommandLineFromArguments({"/P: report.t58"}), "/P: report.t58");
    // Nothing, or several words of another form: nothing to act on.
    EXPECT_EQ(CommandLineFromArguments({}), "");
    EXPECT_EQ(CommandLineFromArguments({" "}), "");
    EXPECT_EQ(ParseCommandLine(CommandLineFromArguments({"a.t58", "b.t58"})).kind,
              CommandLineAction::Kind::None);
}

TEST(DroppedFiles, AllMustBeT58Files) {
    EXPECT_TRUE(AcceptsDroppedFiles({"/x/A.T58", "/x/b.t58"}));
    EXPECT_FALSE(AcceptsDroppedFiles({"/x/a.t58", "/x/b.txt"}));
    EXPECT_FALSE(AcceptsDroppedFiles({"/x/t58"}));
    EXPECT_FALSE(AcceptsDroppedFiles({}));
}

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    SettingsStore store = SettingsStore::AtFile(dir.filePath("TR58 Link.ini"));
};

TEST_F(SettingsTest, DefaultsWithNothingStored) {
    RecentFiles recent;
    const MainWindowSettings m = LoadMainWindowSettings(store, recent);
    EXPECT_EQ(m.left, 100);
    EXPECT_EQ(m.top, 100);
    EXPECT_EQ(m.width, 8505);
    EXPECT_EQ(m.height, 7500);
    EXPECT_FALSE(m.maximized);
    EXPECT_EQ(m.realTimeInterval, 5);
    EXPECT_EQ(m.realTimeIntervalUnit, 2);
    EXPECT_TRUE(recent.At(0).isEmpty());
    LinkState s;
    LoadLinkSettings(store, s);
    EXPECT_TRUE(s.AutoDetect);
    EXPECT_EQ(s.ConfiguredPort, 1);
    EXPECT_EQ(s.ConnectionType, Connection::kSerial);
    EXPECT_EQ(s.LanHosts[7].port, 23);
}

TEST_F(SettingsTest, UnreadableValuesGiveTheDefaults) {
    store.Write("MainWidth", "wide");
    store.Write("Auto", "perhaps");
    store.Write("Port", "99");
    RecentFiles recent;
    EXPECT_EQ(LoadMainWindowSettings(store, recent).width, 8505);
    LinkState s;
    LoadLinkSettings(store, s);
    EXPECT_TRUE(s.AutoDetect);
    EXPECT_EQ(s.ConfiguredPort, 1);
}

TEST_F(SettingsTest, LastIpOutOfRangeIsTheSerialLinkAndInRangeTheLanHost) {
    for (const char* value : {"9", "-1"}) {
        store.Write("LastIP", value);
        LinkState s;
        LoadLinkSettings(store, s);
        EXPECT_EQ(s.LanSelection, 0) << value;
        EXPECT_EQ(s.ConnectionType, Connection::kSerial);
    }
    store.Write("LastIP", "3");
    store.Write("3IP", "lab-tr58");
    store.Write("3IPort", "2323");
    LinkState s;
    LoadLinkSettings(store, s);
    EXPECT_EQ(s.LanSelection, 3);
    EXPECT_EQ(s.ConnectionType, Connection::kLan);
    EXPECT_FALSE(s.AutoDetect);
    EXPECT_EQ(s.ConfiguredPort, 17);
    EXPECT_EQ(s.LanHosts[2].host, "lab-tr58");
    EXPECT_EQ(s.LanHosts[2].port, 2323);
    EXPECT_EQ(s.LanHosts[2].used, 1);
}

TEST_F(SettingsTest, MinimisedCloseKeepsTheStoredPlaceAndMaximisedOnlyTheFlag) {
    RecentFiles recent;
    recent.Add("/a.t58");
    MainWindowSettings m;
    m.left = 1500;
    m.width = 9900;
    SaveMainWindowSettings(store, WindowState::Normal, m, recent);
    MainWindowSettings moved = m;
    moved.left = 3000;
    SaveMainWindowSettings(store, WindowState::Minimized, moved, recent);
    EXPECT_EQ(store.Read("MainLeft"), "1500");
    EXPECT_EQ(store.Read("Maximized"), "False");
    SaveMainWindowSettings(store, WindowState::Maximized, moved, recent);
    EXPECT_EQ(store.Read("MainLeft"), "1500");
    EXPECT_EQ(store.Read("Maximized"), "True");
    EXPECT_EQ(store.Read("mruFile1"), "/a.t58");
}

TEST_F(SettingsTest, LinkRoundTripKeepsEightHostsNotTheSpare) {
    LinkState s;
    s.ConfiguredPort = 4;
    s.AutoDetect = false;
    for (int i = 0; i < 9; ++i)
        s.LanHosts[static_cast<size_t>(i)] = {QStringLiteral("host%1").arg(i), 100 + i, 1};
    s.LanSelection = 2;
    SaveLinkSettings(store, s);
    store.Sync();
    const QStringList keys = store.Raw().allKeys();
    EXPECT_TRUE(keys.contains("Settings/8IPort"));
    EXPECT_FALSE(keys.contains("Settings/9IP")) << "the spare record is never kept";
    LinkState back;
    LoadLinkSettings(store, back);
    EXPECT_EQ(back.LanHosts[7].host, "host7");
    EXPECT_EQ(back.LanHosts[7].port, 107);
    EXPECT_TRUE(back.LanHosts[8].host.isEmpty());
    EXPECT_EQ(back.LanSelection, 2);
}

TEST(SettingsStoreName, ApplicationNameFromBrandingChangesTheStore) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    Branding acme;
    acme.APPNAME = "Acme Logger";
    SettingsStore plain(ApplicationTitle(Branding{}));
    SettingsStore branded(ApplicationTitle(acme));
    plain.Write("Port", "7");
    plain.Sync();
    EXPECT_EQ(branded.ReadInt("Port", 1), 1) << "settings of TR58 Link are not seen";
    EXPECT_EQ(SettingsStore(ApplicationTitle(Branding{})).ReadInt("Port", 1), 7);
    EXPECT_TRUE(QFile::exists(dir.filePath("TR58 Link.ini")));
}

TEST(LanHosts, NinthHostDropsTheOldestAndAKnownHostKeepsItsPort) {
    LinkState s;
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(AcceptLanHost(s, QStringLiteral("h%1").arg(i), 23), 1);
    EXPECT_EQ(LanHostNames(s).first(), "h8");
    EXPECT_EQ(LanHostNames(s).last(), "h1");
    AcceptLanHost(s, "h9", 2323);
    const QStringList names = LanHostNames(s);
    EXPECT_EQ(names.size(), 8);
    EXPECT_EQ(names.first(), "h9");
    EXPECT_FALSE(names.contains("h1"));
    EXPECT_EQ(AcceptLanHost(s, "h5", 9999), 5) << "h5 is the fifth entry now";
    EXPECT_EQ(s.LanHosts[4].port, 23) << "the stored port is kept";
    EXPECT_EQ(LanHostNames(s), names) << "the order does not change";
}

TEST(ProgramFiles, HelpFilesAndTheTraceFile) {
    QTemporaryDir dir;
    EXPECT_FALSE(FindHelpFiles(dir.path()).Any());
    QFile(dir.filePath("TR58LINK.HLP")).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindHelpFiles(dir.path()).Preferred(), dir.filePath("TR58LINK.HLP"));
    QFile(dir.filePath("Tr58link.chm")).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindHelpFiles(dir.path()).Preferred(), dir.filePath("Tr58link.chm"));

    QString error;
    EXPECT_TRUE(RemoveTraceFile(dir.path(), error)) << "no trace file is fine";
    QFile(dir.filePath("log.txt")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(RemoveTraceFile(dir.path(), error));
    EXPECT_FALSE(QFile::exists(dir.filePath("log.txt")));
    QDir(dir.path()).mkdir("log.txt");  // a folder cannot be removed as a file
    EXPECT_FALSE(RemoveTraceFile(dir.path(), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(WindowPlacement, AFirstStartOnALargeScreenFillsThreeQuartersOfItCentred) {
    const QSize classic(567, 500);  // 8505 x 7500 twips
    const QRect large(0, 30, 2560, 1400);
    const QRect frame = FirstStartGeometry(large, classic);
    EXPECT_EQ(frame.size(), QSize(1920, 1050));
    EXPECT_EQ(frame.center(), large.center());
    EXPECT_TRUE(large.contains(frame));
    // A second screen to the right: the frame stays on it.
    const QRect right(2560, 0, 1920, 1080);
    EXPECT_TRUE(right.contains(FirstStartGeometry(right, classic)));
    // A small screen: never below the minimum, never past the screen.
    EXPECT_EQ(FirstStartGeometry(QRect(0, 0, 800, 600), QSize(600, 533)).size(), QSize(600, 533));
    EXPECT_EQ(FirstStartGeometry(QRect(0, 0, 500, 400), QSize(600, 533)).size(), QSize(500, 400));
}

TEST(WindowPlacement, DocumentWindowsCascadeInsideTheWorkAreaAndStartAgainAtTheCorner) {
    const QSize area(1000, 600);
    const QSize minimum(560, 420);
    const QRect first = CascadedWindowGeometry(area, 0, 30, minimum);
    EXPECT_EQ(first, QRect(0, 0, 750, 450));
    EXPECT_EQ(CascadedWindowGeometry(area, 1, 30, minimum).topLeft(), QPoint(30, 30));
    // (600 - 450) / 30 = 5 steps fit below: six places, the seventh is the first again.
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(
            QRect(QPoint(0, 0), area).contains(CascadedWindowGeometry(area, i, 30, minimum)))
            << i;
    EXPECT_EQ(CascadedWindowGeometry(area, 5, 30, minimum).topLeft(), QPoint(150, 150));
    EXPECT_EQ(CascadedWindowGeometry(area, 6, 30, minimum), first);
    // A work area smaller than the preferred size: the window fills it.
    EXPECT_EQ(CascadedWindowGeometry(QSize(400, 300), 3, 30, minimum), QRect(0, 0, 400, 300));
}
