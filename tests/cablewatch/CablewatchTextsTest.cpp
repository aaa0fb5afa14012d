#include <gtest/gtest.h>

#include <QRegularExpression>

#include "base/StringTable.h"
#include "cablewatch/CablewatchTexts.h"
#include "cablewatch/DeviceProperties.h"
#include "cablewatch/DeviceStatus.h"
#include "cablewatch/WhatsThisHelp.h"

using namespace cablewatch;

namespace {

const QString kSv = QStringLiteral("sv");
const QString kEn = QStringLiteral("en");

// Every text of a language, by name, in the order of the record.
QList<std::pair<const char*, QString>> All(const CablewatchTexts& t) {
    return {{"windowTitle", t.windowTitle},
            {"listLabel", t.listLabel},
            {"propertiesCaption", t.propertiesCaption},
            {"deviceManagerCaption", t.deviceManagerCaption},
            {"okCaption", t.okCaption},
            {"closeCaption", t.closeCaption},
            {"cancelCaption", t.cancelCaption},
            {"versionPrefix", t.versionPrefix},
            {"versionNone", t.versionNone},
            {"whatsThisCaption", t.whatsThisCaption},
            {"columnComNumber", t.columnComNumber},
            {"columnStatus", t.columnStatus},
            {"columnCableId", t.columnCableId},
            {"propertiesTitle", t.propertiesTitle},
            {"noDeviceViewer", t.noDeviceViewer},
            {"snapstartMissing", t.snapstartMissing},
            {"ownerGone", t.ownerGone},
            {"restartMessage", t.restartMessage},
            {"statusOk", t.statusOk},
            {"statusNotPresent", t.statusNotPresent},
            {"statusObsoleteDriver", t.statusObsoleteDriver},
            {"statusDriverNotInstalled", t.statusDriverNotInstalled},
            {"statusDisabled", t.statusDisabled},
            {"reportHeading", t.reportHeading},
            {"reportDeviceId", t.reportDeviceId},
            {"reportNotInstalled", t.reportNotInstalled},
            {"helpList", t.helpList},
            {"helpProperties", t.helpProperties},
            {"helpDeviceManager", t.helpDeviceManager},
            {"helpOk", t.helpOk},
            {"helpClose", t.helpClose},
            {"helpVersion", t.helpVersion},
            {"helpLogo", t.helpLogo},
            {"helpCancel", t.helpCancel},
            {"helpNone", t.helpNone}};
}

// Restores the English texts the other Cablewatch tests read.
class CablewatchTextsTest : public ::testing::Test {
protected:
    void TearDown() override { StringTable::SetLanguage(kEn); }
};

}  // namespace

TEST_F(CablewatchTextsTest, SwedishHasEveryTextWithTheSamePlaceholdersAndAccelerators) {
    const auto english = All(TextsIn(kEn));
    const auto swedish = All(TextsIn(kSv));
    ASSERT_EQ(english.size(), swedish.size());
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    for (qsizetype i = 0; i < english.size(); ++i) {
        const QString& en = english[i].second;
        const QString& sv = swedish[i].second;
        const char* name = english[i].first;
        EXPECT_FALSE(en.isEmpty()) << name;
        EXPECT_FALSE(sv.isEmpty()) << name;
        EXPECT_EQ(sv.count(placeholder), en.count(placeholder)) << name;
        EXPECT_EQ(sv.count(u'&'), en.count(u'&')) << name;
        EXPECT_EQ(sv.endsWith(u' '), en.endsWith(u' ')) << name << ": a prefix stays a prefix";
        // Translated, but for the words both languages write alike.
        const bool shared = en == QLatin1String("OK") || en == QLatin1String("Status");
        EXPECT_EQ(sv == en, shared) << name << ": " << qPrintable(sv);
    }
}

TEST_F(CablewatchTextsTest, TheTextsFollowTheProgramsLanguage) {
    ASSERT_TRUE(StringTable::SetLanguage(kSv));
    EXPECT_EQ(Texts().windowTitle, QStringLiteral("Halvion USB-instrumentsökare"));
    EXPECT_EQ(WhatsThisText(kHelpClose), QStringLiteral("Stänger det här fönstret."));
    ASSERT_TRUE(StringTable::SetLanguage(kEn));
    EXPECT_EQ(Texts().windowTitle, QStringLiteral("Halvion USB Instrument Finder"));
    EXPECT_EQ(WhatsThisText(kHelpClose), QStringLiteral("Closes this window."));
    EXPECT_EQ(&TextsIn(QStringLiteral("de")), &TextsIn(kEn)) << "English for any other language";
}

TEST_F(CablewatchTextsTest, RowStatesAndThePropertiesPageInSwedish) {
    const QString row = kDeviceKeyPrefix + QStringLiteral("CW0001");
    RegistryTree tree;
    tree.SetDword(kEnumRoot + row, kConfigFlags, 1);  // disabled
    ASSERT_TRUE(StringTable::SetLanguage(kSv));
    EXPECT_EQ(EvaluateDevice(tree, row)->status, QStringLiteral("Inaktiverad"));
    const QString page = DevicePropertiesReport(tree, row);
    EXPECT_TRUE(page.startsWith(QStringLiteral("Halvion USB-instrumentkabel\nEnhets-ID: ") + row))
        << qPrintable(page);
    EXPECT_TRUE(page.contains(QStringLiteral("Status: Inaktiverad"))) << qPrintable(page);
    // The registry's own names stay as the driver wrote them.
    EXPECT_TRUE(page.contains(QStringLiteral("ConfigFlags = "))) << qPrintable(page);
    EXPECT_TRUE(DevicePropertiesReport(tree, kDeviceKeyPrefix + QStringLiteral("NONE"))
                    .contains(QStringLiteral("Den här enheten är inte längre installerad.")));
}
