#pragma once
// The real-time settings dialog: reads the probe's quantities and units from
// the instrument while it loads, lets the user pick up to three quantities
// with one unit each and the update interval, and on OK sends the choice to
// the instrument and keeps the interval. The rules live in UnitSelection.

#include <QDialog>
#include <array>

#include "realtime/UnitSelection.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class RealTimeSettingsHost;

class frmRealTimeDisplaySettings : public QDialog {
    Q_OBJECT
public:
    explicit frmRealTimeDisplaySettings(RealTimeSettingsHost& host);

    // Reads the instrument (behind the progress window). False when nothing
    // could be read: the dialog then closes as soon as it is shown.
    bool Load();
    int exec() override;

    const UnitSelection& Selection() const { return selection_; }
    QListWidget* lstQuantities() const { return lstQuantities_; }
    QLabel* lblSelect(int index) const { return lblSelect_.at(index); }
    QComboBox* cboSelect(int index) const { return cboSelect_.at(index); }
    QComboBox* cboInterval() const { return cboInterval_; }
    QPushButton* cmdOK() const { return cmdOK_; }

    void cmdOK_Click();

protected:
    void reject() override;

private:
    void lstQuantities_SelectionChanged();
    void ShowSlots();
    void Finish();

    RealTimeSettingsHost& host_;
    UnitSelection selection_;
    bool loaded_ = false;
    bool readable_ = false;  // the quantities were read

    QListWidget* lstQuantities_;
    std::array<QLabel*, UnitSelection::kSlotCount> lblSelect_{};
    std::array<QComboBox*, UnitSelection::kSlotCount> cboSelect_{};
    QComboBox* cboInterval_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};
