// The axis dialog: its rows and captions, the automatic check boxes, the
// up-down buttons, and OK refusing a box it cannot take.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "ChartTestDocuments.h"
#include "base/UserLocale.h"
#include "chart/ChartNavigator.h"
#include "chart/frmAxis.h"

namespace {

void SaveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("TR58_CHART_SHOTS");
    if (folder.isEmpty()) return;
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

class AxisDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserLocale::Init(QLocale::c());
        QList<TestQuantity> quantities = ClimateQuantities();
        quantities.append(Ramp("Tw", 10.0, 20.0, 100, 2));
        document = MakeDocument(100, 60, quantities);
        navigator = std::make_unique<ChartNavigator>(*document);
        navigator->ShowAll();
        navigator->SetPoints(11, 60);
        document->SetScaleValue(false, 0, 10.0f);
        document->SetScaleValue(true, 0, 30.0f);
    }
    void Open() {
        dialog = std::make_unique<frmAxis>(*document, *navigator);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <typename T>
    T* Child(const QString& name) const {
        T* child = dialog->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << qPrintable(name);
        return child;
    }
    QLineEdit* Box(const char* name) const { return Child<QLineEdit>(QString::fromLatin1(name)); }
    void Press(const char* upDown, bool up) {
        QToolButton* button = Child<QToolButton>(
            QString::fromLatin1(upDown) + (up ? QStringLiteral("Up") : QStringLiteral("Down")));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void ClickOk() {
        QTest::mouseClick(Child<QPushButton>(QStringLiteral("cmdOK")), Qt::LeftButton);
    }

    std::unique_ptr<Document> document;
    std::unique_ptr<ChartNavigator> navigator;
    std::unique_ptr<frmAxis> dialog;
};

TEST_F(AxisDialogTest, OneRowPerQuantityOnTheChartWithTheCatalogueCaptions) {
    document->SetCharted(1, false);
    Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Axel"));
    EXPECT_EQ(Child<QLabel>("lblQuantity0")->text(), QStringLiteral("T"));
    EXPECT_EQ(Child<QLabel>("lblUnit0")->text(), QStringLiteral("°C"));
    EXPECT_EQ(Child<QLabel>("lblQuantity1")->text(), QStringLiteral("Td"));
    EXPECT_TRUE(Child<QLabel>("lblQuantity1")->isVisible());
    EXPECT_FALSE(Child<QLabel>("lblQuantity2")->isVisible());
    EXPECT_FALSE(Box("txtUpper2")->isVisible());
    EXPECT_EQ(Child<QCheckBox>("chkAutoScale0")->text(), QStringLiteral("&Automatisk skalning"));
    EXPECT_EQ(Child<QLabel>("lblUpper0")->text(), QStringLiteral("&Högst:"));
    EXPECT_EQ(Child<QLabel>("lblLower0")->text(), QStringLiteral("&Lägst:"));
    EXPECT_EQ(Child<QLabel>("lblPoint0")->text(), QStringLiteral("&Första punkten:"));
    EXPECT_EQ(Child<QLabel>("lblPoint1")->text(), QStringLiteral("&Sista punkten:"));
    EXPECT_EQ(Child<QPushButton>("cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(Child<QPushButton>("cmdCancel")->text(), QStringLiteral("Avbryt"));
    // Bounds with the quantity's decimals, points with their times.
    EXPECT_EQ(Box("txtUpper0")->text(), QStringLiteral("30.0"));
    EXPECT_EQ(Box("txtLower0")->text(), QStringLiteral("10.0"));
    EXPECT_EQ(Box("txtPoint0")->text(), QStringLiteral("11"));
    EXPECT_EQ(Box("txtPoint1")->text(), QStringLiteral("60"));
    EXPECT_EQ(Box("txtDate0")->text(), QStringLiteral("2026-11-02 08:10:00"));
    EXPECT_EQ(Box("txtDate1")->text(), QStringLiteral("2026-11-02 08:59:00"));
    SaveShot(dialog.get(), QStringLiteral("axis-dialog"));
}

TEST_F(AxisDialogTest, TheAutomaticBoxDisablesTheBoundsOfItsRowOnly) {
    Open();
    QCheckBox* automatic = Child<QCheckBox>("chkAutoScale0");
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(Box("txtUpper0")->isEnabled());
    EXPECT_FALSE(Box("txtLower0")->isEnabled());
    automatic->setChecked(false);
    EXPECT_TRUE(Box("txtUpper0")->isEnabled());
    EXPECT_TRUE(Box("txtLower0")->isEnabled());
    EXPECT_TRUE(Child<QWidget>("updUpper0")->isEnabled());
    EXPECT_FALSE(Box("txtUpper1")->isEnabled());
    // Ticking it again shows the document's bounds again.
    Box("txtUpper0")->setText(QStringLiteral("99"));
    automatic->setChecked(true);
    EXPECT_FALSE(Box("txtUpper0")->isEnabled());
    EXPECT_FALSE(Box("txtLower0")->isEnabled());
    EXPECT_TRUE(Box("txtUpper1")->isVisible());
    EXPECT_EQ(Box("txtUpper0")->text(), QStringLiteral("30.0"));
}

TEST_F(AxisDialogTest, UpDownButtonsStepBoundsAndPoints) {
    Open();
    Child<QCheckBox>("chkAutoScale0")->setChecked(false);
    Box("txtLower0")->setText(QStringLiteral("0.0"));
    Press("updLower0", false);
    EXPECT_EQ(Box("txtLower0")->text(), QStringLiteral("-1.0"));
    Box("txtLower0")->setText(QStringLiteral("-99998.5"));
    Press("updLower0", false);
    EXPECT_EQ(Box("txtLower0")->text(), QStringLiteral("-99999.0"));
    Press("updUpper0", true);
    EXPECT_EQ(Box("txtUpper0")->text(), QStringLiteral("31.0"));

    Press("updPoint1", true);
    EXPECT_EQ(Box("txtPoint1")->text(), QStringLiteral("61"));
    EXPECT_EQ(Box("txtDate1")->text(), QStringLiteral("2026-11-02 09:00:00"));
    Box("txtPoint0")->setText(QStringLiteral("1"));
    Press("updPoint0", false);
    EXPECT_EQ(Box("txtPoint0")->text(), QStringLiteral("1"));
    EXPECT_EQ(Box("txtDate0")->text(), QStringLiteral("2026-11-02 08:00:00"));
}

TEST_F(AxisDialogTest, ALetterInAnUpperBoxKeepsTheDialogOpenWithThatBoxSelected) {
    Open();
    Child<QCheckBox>("chkAutoScale1")->setChecked(false);
    Box("txtUpper1")->setText(QStringLiteral("5x"));
    ClickOk();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->focusWidget(), Box("txtUpper1"));
    EXPECT_EQ(Box("txtUpper1")->selectedText(), QStringLiteral("5x"));
    // Nothing was applied.
    EXPECT_TRUE(document->GetAutoScale(1));
    EXPECT_EQ(document->FirstPoint, 11);
}

TEST_F(AxisDialogTest, FirstPointZeroIsRefused) {
    Open();
    Box("txtPoint0")->setText(QStringLiteral("0"));
    ClickOk();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), Box("txtPoint0"));
    EXPECT_EQ(Box("txtPoint0")->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(document->FirstPoint, 11);
}

TEST_F(AxisDialogTest, OkAppliesBoundsAndPointsAndCloses) {
    Open();
    Child<QCheckBox>("chkAutoScale0")->setChecked(false);
    Box("txtUpper0")->setText(QStringLiteral("25.04"));
    Box("txtLower0")->setText(QStringLiteral("15"));
    Box("txtPoint0")->setText(QStringLiteral("20"));
    Box("txtPoint1")->setText(QStringLiteral("80"));
    ClickOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 25.0f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 15.0f);
    EXPECT_TRUE(document->GetAutoScale(1));
    EXPECT_EQ(document->FirstPoint, 20);
    EXPECT_EQ(document->LastPoint, 80);
}

TEST_F(AxisDialogTest, CancelChangesNothing) {
    Open();
    Child<QCheckBox>("chkAutoScale0")->setChecked(false);
    Box("txtUpper0")->setText(QStringLiteral("25"));
    Box("txtPoint0")->setText(QStringLiteral("30"));
    QTest::mouseClick(Child<QPushButton>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(document->GetAutoScale(0));
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 30.0f);
    EXPECT_EQ(document->FirstPoint, 11);
}

TEST_F(AxisDialogTest, FewerThanTwoPointsLeaveNothingToEdit) {
    document = MakeDocument(1, 60, ClimateQuantities());
    navigator = std::make_unique<ChartNavigator>(*document);
    Open();
    EXPECT_FALSE(Box("txtUpper0")->isVisible());
    EXPECT_FALSE(Box("txtPoint0")->isVisible());
    ClickOk();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

}  // namespace
