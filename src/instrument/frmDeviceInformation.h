#pragma once
// The device information dialog: the instrument's type, version, serial
// numbers and calibration date, read while the dialog loads.

#include <QDialog>

#include "instrument/DeviceInformation.h"

class Link;
class QLineEdit;

class frmDeviceInformation : public QDialog {
    Q_OBJECT
public:
    frmDeviceInformation(Link& link, QWidget* parent);

    // Reads the instrument (behind the progress window). False when nothing
    // could be read: the dialog then closes as soon as it is shown.
    bool Load();
    const DeviceInformation& Information() const { return info_; }
    int exec() override;

private:
    Link& link_;
    DeviceInformation info_;
    QLineEdit* txtType_;
    QLineEdit* txtVersion_;
    QLineEdit* txtNumber_;
    QLineEdit* txtSnumber_;
    QLineEdit* txtCalib_;
    bool loaded_ = false;
};
