#pragma once
// Cablewatch's texts and the registry paths and value names it reads. The
// paths and names are the driver's own and never translated.

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

// The window's texts in one language. The English ones are Cablewatch's own,
// shown exactly as written; the Swedish ones are for a Swedish desktop. Which
// one is shown follows the program's language (base/ProgramLanguage.h).
struct CablewatchTexts {
    QString windowTitle;
    QString listLabel;
    QString propertiesCaption;
    QString deviceManagerCaption;
    QString okCaption;
    QString closeCaption;
    QString cancelCaption;
    QString versionPrefix;
    QString versionNone;
    QString whatsThisCaption;
    QString columnComNumber;
    QString columnStatus;
    QString columnCableId;
    QString propertiesTitle;  // %1: the port, or the cable's ID without one
    QString noDeviceViewer;
    QString snapstartMissing;  // %1: the program that could not be started
    QString restartMessage;
    QString ownerGone;  // OK of the port picker, when the program that asked is not reached

    // Row states.
    QString statusOk;
    QString statusNotPresent;
    QString statusObsoleteDriver;
    QString statusDriverNotInstalled;
    QString statusDisabled;

    // The properties page's lines above the device's values.
    QString reportHeading;
    QString reportDeviceId;  // %1: the device's key
    QString reportNotInstalled;

    // What's This help of the controls (WhatsThisHelp.h), and of the rest.
    QString helpList;
    QString helpProperties;
    QString helpDeviceManager;
    QString helpOk;
    QString helpClose;
    QString helpVersion;
    QString helpLogo;
    QString helpCancel;
    QString helpNone;
};

// The texts in the string table's language (StringTable::Language).
const CablewatchTexts& Texts();
// The texts in language: Swedish for "sv", English for any other.
const CablewatchTexts& TextsIn(const QString& language);

// Small icons of the list (1-based, as the rows carry them).
constexpr int kIconNormal = 1;
constexpr int kIconDisabled = 2;
constexpr int kIconDriverProblem = 3;

// The maker's web site, opened by the logo.
inline const QString kMakerSite = QStringLiteral("https://www.halvion.com/");

}  // namespace cablewatch
