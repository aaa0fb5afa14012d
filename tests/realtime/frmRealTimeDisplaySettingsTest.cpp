// The real-time settings dialog offscreen, with the main window around it
// and the in-process instrument behind the link.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "base/MessageKeys.h"
#include "realtime/frmRealTimeDisplaySettings.h"
#include "support/ProgramFixture.h"

namespace {

class RealTimeSettingsDialogTest : public ProgramFixture {
protected:
    QStringList UnitCommands(qsizetype from) const {
        QStringList units;
        for (const QString& c : CommandsSince(from))
            if (c.startsWith(QLatin1String("UNIT"))) units << c;
        return units;
    }
};

}  // namespace

TEST_F(RealTimeSettingsDialogTest, ShowsTheQuantitiesAndSlotsAndOkSendsTheChoice) {
    frmRealTimeDisplaySettings dialog(*main);
    ASSERT_TRUE(dialog.Load());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Realtidsinställningar"));
    QListWidget* list = dialog.lstQuantities();
    ASSERT_EQ(list->count(), 6);
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("a"));
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_FALSE(list->item(2)->isSelected());
    EXPECT_EQ(dialog.lblSelect(0)->text(), QStringLiteral("T"));
    ASSERT_EQ(dialog.cboSelect(0)->count(), 2);
    EXPECT_EQ(dialog.cboSelect(0)->itemText(1), QStringLiteral("\u00B0F"));
    EXPECT_EQ(dialog.cboSelect(0)->currentIndex(), 0);
    EXPECT_EQ(dialog.lblSelect(1)->text(), QStringLiteral("RH"));
    EXPECT_TRUE(dialog.lblSelect(2)->text().isEmpty());
    EXPECT_TRUE(dialog.cboSelect(2)->isHidden());
    ASSERT_EQ(dialog.cboInterval()->count(), 11);
    EXPECT_EQ(dialog.cboInterval()->itemText(2), QStringLiteral("15  s"));
    EXPECT_EQ(dialog.cboInterval()->currentIndex(), 1) << "5 s, the program's interval";
    EXPECT_FALSE(main->GetLink().IsCommunicating());

    // The user adds a ("g/m3" from the instrument's symbol code), then tries a fourth.
    list->item(3)->setSelected(true);
    EXPECT_EQ(dialog.lblSelect(2)->text(), QStringLiteral("a"));
    EXPECT_FALSE(dialog.cboSelect(2)->isHidden());
    EXPECT_EQ(dialog.cboSelect(2)->itemText(0), QStringLiteral("g/m3"));
    list->item(4)->setSelected(true);
    EXPECT_FALSE(list->item(4)->isSelected()) << "at most three";
    EXPECT_EQ(list->selectedItems().size(), 3);

    // °F for T, then OK.
    dialog.cboSelect(0)->setCurrentIndex(1);
    emit dialog.cboSelect(0)->activated(1);
    const qsizetype before = instrument.CommandLog().size();
    dialog.cmdOK()->click();
    EXPECT_EQ(UnitCommands(before), QStringList{QStringLiteral("UNIT 2 1 0 1 0 0")});
    EXPECT_EQ(instrument.Probe().at(0).choice, 2);
    EXPECT_EQ(instrument.Probe().at(3).choice, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(RealTimeSettingsDialogTest, TheMenuOpensItModallyAndKeepsTheInterval) {
    QAction* menu = main->Action(QStringLiteral("mnuRealTimeSettings"));
    ASSERT_TRUE(menu->isEnabled());
    bool seen = false, stopRequestWhileOpen = false;
    QTimer::singleShot(0, main.get(), [&] {
        auto* dialog = qobject_cast<frmRealTimeDisplaySettings*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        stopRequestWhileOpen = main->StopRequested();
        dialog->cboInterval()->setCurrentIndex(4);
        emit dialog->cboInterval()->activated(4);  // 1 min
        dialog->cmdOK()->click();
    });
    const qsizetype before = instrument.CommandLog().size();
    menu->trigger();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(stopRequestWhileOpen);
    EXPECT_FALSE(main->StopRequested());
    EXPECT_EQ(UnitCommands(before), QStringList{QStringLiteral("UNIT")}) << "units unchanged";
    EXPECT_EQ(main->GetLink().RealTimeInterval(), 60);
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastInterval"), 0), 60);
    EXPECT_EQ(store->ReadInt(QStringLiteral("LastIntervalType"), 0), 4);
}

TEST_F(RealTimeSettingsDialogTest, NoProbeClosesTheLinkAndNeverShowsTheDialog) {
    instrument.Faults().noProbe = true;
    bool shown = false;
    QTimer::singleShot(0, main.get(), [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = true;
            modal->close();
        }
    });
    main->Action(QStringLiteral("mnuRealTimeSettings"))->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(presenter.Keys(), QStringList{MessageKeys::kNoProbe});
    EXPECT_EQ(main->GetLink().State().OpenPort, 0);
    EXPECT_FALSE(main->GetLink().State().CommandFailed) << "cleared as the dialog closes";
    EXPECT_FALSE(main->GetLink().IsCommunicating());
}
