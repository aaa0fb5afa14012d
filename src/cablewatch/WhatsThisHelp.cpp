#include "cablewatch/WhatsThisHelp.h"

namespace cablewatch {

QString WhatsThisText(int helpId) {
    switch (helpId) {
        case kHelpList:
            return QStringLiteral(
                "Lists every Halvion USB Instrument cable that has been installed on this "
                "computer: the COM port it uses, its state and the cable's ID. A greyed cable "
                "is not plugged in now. Click a column heading to sort by it.");
        case kHelpProperties:
            return QStringLiteral("Shows the properties of the selected cable.");
        case kHelpDeviceManager:
            return QStringLiteral(
                "Opens the device manager with the devices that are not plugged in shown as "
                "well.");
        case kHelpOk:
            return QStringLiteral(
                "Uses the COM port of the selected cable and closes this window.");
        case kHelpClose:
            return QStringLiteral("Closes this window.");
        case kHelpVersion:
            return QStringLiteral("The version of the Halvion USB Instrument driver installed.");
        case kHelpLogo:
            return QStringLiteral("Opens the Halvion web site.");
        case kHelpCancel:
            return QStringLiteral("Closes this window without choosing a COM port.");
        default:
            return QStringLiteral("No help is available for this item.");
    }
}

}  // namespace cablewatch
