#pragma once
// Cablewatch's fixed texts and the registry paths and value names it reads.
// The texts are English and shown exactly as written here.

#include <QString>

namespace cablewatch {

// Registry paths (read-only) and value names.
inline const QString kEnumRoot =
    QStringLiteral("\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\");
inline const QString kDeviceFolder = QStringLiteral("USB\\Vid_2A6F&Pid_0200");
inline const QString kDeviceKeyPrefix = QStringLiteral("USB\\Vid_2A6F&Pid_0200\\");
inline const QString kCurrentDriverEnum =
    QStringLiteral("\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\silabenm\\Enum");
inline const QString kObsoleteDriverEnum =
    QStringLiteral("\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\slabbus\\Enum");
inline const QString kDriverVersionKey = QStringLiteral(
    "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Silicon Laboratories, Inc.\\Silicon Laboratories Driver "
    "Installations\\VCP CP210x Cardinal\\HLVNCOMM&2A6F&0200");
inline const QString kConfigFlags = QStringLiteral("ConfigFlags");
inline const QString kControlKey = QStringLiteral("Control");
inline const QString kDisableCount = QStringLiteral("DisableCount");
inline const QString kDeviceParametersKey = QStringLiteral("Device Parameters");
inline const QString kPortName = QStringLiteral("PortName");
inline const QString kDriverVersion = QStringLiteral("DriverVersion");

// Window texts.
inline const QString kWindowTitle = QStringLiteral("Halvion USB Instrument Finder");
inline const QString kListLabel =
    QStringLiteral("The following Halvion &USB Instrument devices have been installed:");
inline const QString kPropertiesCaption = QStringLiteral("&Properties");
inline const QString kDeviceManagerCaption = QStringLiteral("&Device Manager...");
inline const QString kOkCaption = QStringLiteral("OK");
inline const QString kCloseCaption = QStringLiteral("Close");
inline const QString kCancelCaption = QStringLiteral("Cancel");
inline const QString kVersionPrefix = QStringLiteral("Driver version: ");
inline const QString kVersionNone = QStringLiteral("Driver version: (none)");
inline const QString kWhatsThisCaption = QStringLiteral("&What's This?");
inline const QString kColumnComNumber = QStringLiteral("COM Number");
inline const QString kColumnStatus = QStringLiteral("Status");
inline const QString kColumnCableId = QStringLiteral("USB Cable ID");
inline const QString kPropertiesTitle = QStringLiteral("%1 Properties");
inline const QString kNoDeviceViewer = QStringLiteral(
    "No device viewer is installed on this computer, so the device manager cannot be shown. "
    "The cables and their ports are listed in this window; \"Properties\" shows the details "
    "of the selected one.");
inline const QString kSnapstartMissing =
    QStringLiteral("The device manager cannot be opened: snapstart could not be started (%1).");
inline const QString kRestartMessage = QStringLiteral(
    "The computer must be restarted to complete the installation of the Halvion USB Instrument "
    "driver.");

// Row states.
inline const QString kStatusOk = QStringLiteral("OK");
inline const QString kStatusNotPresent = QStringLiteral("Not present");
inline const QString kStatusObsoleteDriver = QStringLiteral("Obsolete driver");
inline const QString kStatusDriverNotInstalled = QStringLiteral("Driver not installed");
inline const QString kStatusDisabled = QStringLiteral("Disabled");

// Small icons of the list (1-based, as the rows carry them).
constexpr int kIconNormal = 1;
constexpr int kIconDisabled = 2;
constexpr int kIconDriverProblem = 3;

// The maker's web site, opened by the logo.
inline const QString kMakerSite = QStringLiteral("https://www.halvion.com/");

}  // namespace cablewatch
