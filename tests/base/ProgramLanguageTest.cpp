#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/ProgramLanguage.h"
#include "base/SettingsStore.h"
#include "base/StringTable.h"
#include "support/LanguageVariableGuard.h"

namespace {

const QString kSv = QStringLiteral("sv");
const QString kEn = QStringLiteral("en");

TEST(ChooseLanguage, TheDesktopsFirstLanguageSwedishOrElseEnglish) {
    EXPECT_EQ(ChooseLanguage({"sv_SE"}, {}, {}), kSv);
    EXPECT_EQ(ChooseLanguage({"sv-SE", "sv", "en-US"}, {}, {}), kSv);
    EXPECT_EQ(ChooseLanguage({"sv-FI"}, {}, {}), kSv);
    EXPECT_EQ(ChooseLanguage({"sv"}, {}, {}), kSv);
    EXPECT_EQ(ChooseLanguage({"en_GB"}, {}, {}), kEn);
    EXPECT_EQ(ChooseLanguage({"en-GB", "sv-SE"}, {}, {}), kEn) << "the first one counts";
    EXPECT_EQ(ChooseLanguage({"de_DE"}, {}, {}), kEn);
    EXPECT_EQ(ChooseLanguage({"de-DE", "sv-SE"}, {}, {}), kEn);
    EXPECT_EQ(ChooseLanguage({"fi-FI"}, {}, {}), kEn) << "Finnish is not Swedish";
    EXPECT_EQ(ChooseLanguage({"se-NO"}, {}, {}), kEn) << "Northern Sami is not Swedish";
    EXPECT_EQ(ChooseLanguage({}, {}, {}), kEn);
}

TEST(ChooseLanguage, TheEnvironmentBeatsTheSettingWhichBeatsTheDesktop) {
    EXPECT_EQ(ChooseLanguage({"sv_SE"}, kEn, {}), kEn);
    EXPECT_EQ(ChooseLanguage({"de_DE"}, kSv, {}), kSv);
    EXPECT_EQ(ChooseLanguage({"sv_SE"}, {}, kEn), kEn);
    EXPECT_EQ(ChooseLanguage({"en_GB"}, {}, kSv), kSv);
    EXPECT_EQ(ChooseLanguage({"en_GB"}, kEn, kSv), kEn);
    EXPECT_EQ(ChooseLanguage({"de_DE"}, kSv, kEn), kSv);
    EXPECT_EQ(ChooseLanguage({"de_DE"}, QStringLiteral(" SV "), {}), kSv) << "blanks, case";
}

TEST(ChooseLanguage, AnUnusableOverrideIsPassedOver) {
    EXPECT_EQ(ChooseLanguage({"sv_SE"}, QStringLiteral("de"), {}), kSv);
    EXPECT_EQ(ChooseLanguage({"de_DE"}, QStringLiteral("svenska"), kSv), kSv);
    EXPECT_EQ(ChooseLanguage({"sv_SE"}, QStringLiteral("en_GB"), QStringLiteral("x")), kSv);
    EXPECT_EQ(ChooseLanguage({"en_GB"}, QString(), QString()), kEn);
    EXPECT_EQ(LanguageOverride(QStringLiteral("En")), kEn);
    EXPECT_TRUE(LanguageOverride(QStringLiteral("e n")).isEmpty());
    EXPECT_TRUE(LanguageOverride(QString()).isEmpty());
}

// The choice the programs make at start-up, from the process's environment
// and a settings file.
class SelectProgramLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<SettingsStore>(
            SettingsStore::AtFile(dir.filePath(QStringLiteral("TR58 Link.ini"))));
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;

private:
    LanguageVariableGuard language_;
};

TEST_F(SelectProgramLanguageTest, TheVariableAndTheStoredValueChooseTheTable) {
    qputenv(kLanguageVariable, "en");
    store->Write(kLanguageSetting, kSv);
    EXPECT_EQ(SelectProgramLanguage(store.get()), kEn);
    EXPECT_EQ(StringTable::Language(), kEn);
    EXPECT_EQ(StringTable::Text(1000), QStringLiteral("&File"));

    qunsetenv(kLanguageVariable);
    EXPECT_EQ(SelectProgramLanguage(store.get()), kSv);
    EXPECT_EQ(StringTable::Text(1000), QStringLiteral("&Arkiv"));

    qputenv(kLanguageVariable, "sv");
    store->Write(kLanguageSetting, kEn);
    EXPECT_EQ(SelectProgramLanguage(store.get()), kSv);
    qunsetenv(kLanguageVariable);
    EXPECT_EQ(SelectProgramLanguage(store.get()), kEn);
    EXPECT_EQ(StringTable::Language(), kEn);
}

TEST_F(SelectProgramLanguageTest, AnUnusableVariableIsSaidOnceAndIgnored) {
    qputenv(kLanguageVariable, "klingon");
    store->Write(kLanguageSetting, kEn);
    ::testing::internal::CaptureStderr();
    const QString first = SelectProgramLanguage(store.get());
    const QString second = SelectProgramLanguage(store.get());
    const QString said = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(first, kEn) << "the stored value decides";
    EXPECT_EQ(second, kEn);
    EXPECT_EQ(said.count(QStringLiteral("TR58_LANG")), 1) << qPrintable(said);
    EXPECT_TRUE(said.contains(QStringLiteral("klingon"))) << qPrintable(said);
}

}  // namespace
