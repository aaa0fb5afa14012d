// The main window in the language chosen at start-up: TR58_LANG=en gives
// English menus and Qt buttons, TR58_LANG=sv Swedish ones, whatever the test
// machine's desktop speaks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "app/frmMain.h"
#include "base/ProgramLanguage.h"
#include "base/ProgramTranslator.h"
#include "base/SettingsStore.h"
#include "base/StringTable.h"
#include "help/frmHelp.h"
#include "support/LanguageVariableGuard.h"
#include "support/MessageBoxAnswer.h"
#include "support/RecordingPresenter.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<SettingsStore>(
            SettingsStore::AtFile(dir.filePath(QStringLiteral("TR58 Link.ini"))));
    }
    void TearDown() override {
        // The other window tests read the Swedish table, with Qt's buttons in Swedish.
        StringTable::SetLanguage(QStringLiteral("sv"));
        InstallProgramTranslations(*qApp, QStringLiteral("sv"));
    }

    // Start-up as main() does it, with TR58_LANG set to language.
    std::unique_ptr<frmMain> StartWith(const char* language) {
        qputenv(kLanguageVariable, language);
        InstallProgramTranslations(*qApp, SelectProgramLanguage(store.get()));
        frmMain::Options options;
        options.store = store.get();
        options.programFolder = dir.path();
        options.presenter = &presenter;
        return std::make_unique<frmMain>(options);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    RecordingPresenter presenter;

private:
    LanguageVariableGuard language_;
};

QStringList BarTitles(frmMain& main) {
    QStringList titles;
    for (QAction* action : main.menuBar()->actions())
        if (action->isVisible()) titles << action->text();
    return titles;
}

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible()) captions << action->text();
    return captions;
}

// The accelerator of a caption ("Save &As" gives 'a'); none for "R&&D" alone.
QChar Accelerator(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

// Menus (the bar, each menu, the pop-up menus) where two items share an
// accelerator, as "menu: caption, caption".
QStringList AcceleratorClashes(frmMain& main) {
    QStringList clashes;
    const auto check = [&clashes](const QString& where, const QList<QAction*>& actions) {
        QHash<QChar, QString> taken;
        for (QAction* action : actions) {
            if (action->isSeparator() || action->text().isEmpty()) continue;
            const QChar key = Accelerator(action->text());
            if (key.isNull()) continue;
            if (taken.contains(key))
                clashes << where + QStringLiteral(": ") + taken[key] + QStringLiteral(", ") +
                               action->text();
            taken.insert(key, action->text());
        }
    };
    QList<QAction*> bar;
    for (QAction* action : main.menuBar()->actions())
        if (action->isVisible()) bar << action;
    check(QStringLiteral("menu bar"), bar);
    for (QMenu* menu : main.findChildren<QMenu*>())
        check(menu->objectName() + u' ' + menu->title(), menu->actions());
    return clashes;
}

QStringList SaveQuestionButtons(QWidget* owner) {
    QStringList texts;
    QTimer::singleShot(0, [&] { texts = AnswerOpenMessageBox(QMessageBox::RejectRole); });
    QMessageBox::question(owner, QStringLiteral("TR58 Link"), QStringLiteral("?"),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return texts;
}

}  // namespace

TEST_F(LanguageTest, TheMenusComeOutEnglishWithTr58LangEn) {
    auto main = StartWith("en");
    EXPECT_EQ(StringTable::Language(), QStringLiteral("en"));
    EXPECT_EQ(BarTitles(*main),
              (QStringList{"&File", "&Edit", "&View", "&Instrument", "&Window", "&Help"}));
    EXPECT_EQ(Captions(main->Menu(QStringLiteral("mnuFile"))),
              (QStringList{"&Open...", "&Close", "&Save", "Save &As/Export...", "&Print...",
                           "Save as P&DF...", "E&xit"}));
    EXPECT_EQ(Captions(main->Menu(QStringLiteral("mnuIndicator"))),
              (QStringList{"&Real-time Window", "S&top Real-time Window", "Real-time &Settings...",
                           "&Download Files...", "D&elete Files...", "Communication &Port",
                           "Device &Information"}));
    EXPECT_EQ(main->Action(QStringLiteral("Com0"))->text(), QStringLiteral("&Autodetect"));
    EXPECT_EQ(main->Action(QStringLiteral("tbInformation"))->toolTip(),
              QStringLiteral("Device Information"));
    EXPECT_EQ(main->StatusPanel(1)->text(), QStringLiteral("Ready"));

    // Nothing Swedish left in any menu, pop-up menus included.
    static const QRegularExpression swedish(QStringLiteral("[åäöÅÄÖ]"));
    for (QMenu* menu : main->findChildren<QMenu*>()) {
        EXPECT_FALSE(menu->title().contains(swedish)) << qPrintable(menu->title());
        for (QAction* action : menu->actions())
            EXPECT_FALSE(action->text().contains(swedish)) << qPrintable(action->text());
    }
}

TEST_F(LanguageTest, TheMenusComeOutSwedishWithTr58LangSv) {
    store->Write(kLanguageSetting, QStringLiteral("en"));  // the variable beats it
    auto main = StartWith("sv");
    EXPECT_EQ(StringTable::Language(), QStringLiteral("sv"));
    EXPECT_EQ(BarTitles(*main),
              (QStringList{"&Arkiv", "&Redigera", "Vi&sa", "Instru&ment", "&Fönster", "&Hjälp"}));
    EXPECT_EQ(main->Action(QStringLiteral("mnuFileSaveAs"))->text(),
              QStringLiteral("Spara so&m/Exportera..."));
    EXPECT_EQ(main->Action(QStringLiteral("mnuIndicatorDeviceInformation"))->text(),
              QStringLiteral("Instrumenti&nformation"));
    EXPECT_EQ(main->StatusPanel(1)->text(), QStringLiteral("Klar."));
}

TEST_F(LanguageTest, NoTwoItemsOfAMenuShareAnAcceleratorInEitherLanguage) {
    for (const char* language : {"en", "sv"}) {
        auto main = StartWith(language);
        EXPECT_EQ(AcceleratorClashes(*main), QStringList()) << language;
    }
}

TEST_F(LanguageTest, QtsStandardButtonsSpeakTheChosenLanguage) {
    auto english = StartWith("en");
    english->show();
    EXPECT_EQ(SaveQuestionButtons(english.get()), (QStringList{"&No", "&Yes", "Cancel"}));
    english.reset();

    auto swedish = StartWith("sv");
    swedish->show();
    EXPECT_EQ(SaveQuestionButtons(swedish.get()), (QStringList{"&Ja", "&Nej", "Avbryt"}));
}

// F1 in the main window opens the manual in the program's language: the
// English manual's contents for TR58_LANG=en, the Swedish one's for sv.
TEST_F(LanguageTest, F1OpensTheManualInTheProgramsLanguage) {
    const auto pressF1 = [this](const char* language) {
        delete frmHelp::Current();
        auto main = StartWith(language);
        main->show();
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        QWidget* focus = main->focusWidget();
        QTest::keyClick(focus ? focus : main.get(), Qt::Key_F1);
        frmHelp* help = frmHelp::Current();
        const QStringList shown =
            help ? QStringList{help->Page().toString(), help->Browser()->documentTitle()}
                 : QStringList{QStringLiteral("(no help window)")};
        delete help;
        return shown;
    };
    EXPECT_EQ(pressF1("en"),
              (QStringList{"qrc:/help/en/index.html", QStringLiteral("TR58 Link – User Guide")}));
    EXPECT_EQ(pressF1("sv"),
              (QStringList{"qrc:/help/sv/index.html", QStringLiteral("TR58 Link – handbok")}));
}
