#pragma once
// The few things about a serial device that Qt does not tell: what the system's
// driver still holds for sending, and whether this user may open the device at
// all. Everything system-specific of the serial port lives here.

#include <QString>
#include <QtGlobal>

namespace SerialPlatform {

// Bytes written to the device's descriptor that the driver has not yet put on
// the line (its output queue); 0 where the system cannot tell.
qint64 DriverOutputQueue(qintptr handle);

// True when this user may open path for reading and writing: false for a device
// that exists but whose permissions shut the user out.
bool MayOpenReadWrite(const QString& path);

}  // namespace SerialPlatform
