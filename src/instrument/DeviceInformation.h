#pragma once
// The instrument's identity: type, version, the two serial numbers and the
// calibration date, read with "VERS", "SNUM" and "CAL".

#include <QString>

class Link;

struct DeviceInformation {
    QString type;           // instrument and probe type
    QString version;        // software version; the no-probe text when there is none
    QString number;         // instrument serial number
    QString snumber;        // probe serial number
    QString calib;          // calibration date
    bool versRead = false;  // false: nothing could be read (the link showed why)
};

// Reads the three replies behind the progress window (19 steps with port
// detection, else 3). A failed command stops the sequence; what was read
// before it stays.
DeviceInformation ReadDeviceInformation(Link& link);

// The readings of each reply, as the dialog shows them.
void ReadVersReply(const QString& reply, DeviceInformation& info);
void ReadSnumReply(const QString& reply, DeviceInformation& info);
void ReadCalReply(const QString& reply, DeviceInformation& info);
