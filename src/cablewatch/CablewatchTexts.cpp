#include "cablewatch/CablewatchTexts.h"

#include "base/StringTable.h"

namespace cablewatch {

namespace {

CablewatchTexts English() {
    CablewatchTexts t;
    t.windowTitle = QStringLiteral("Halvion USB Instrument Finder");
    t.listLabel =
        QStringLiteral("The following Halvion &USB Instrument devices have been installed:");
    t.propertiesCaption = QStringLiteral("&Properties");
    t.deviceManagerCaption = QStringLiteral("&Device Manager...");
    t.okCaption = QStringLiteral("OK");
    t.closeCaption = QStringLiteral("Close");
    t.cancelCaption = QStringLiteral("Cancel");
    t.versionPrefix = QStringLiteral("Driver version: ");
    t.versionNone = QStringLiteral("Driver version: (none)");
    t.whatsThisCaption = QStringLiteral("&What's This?");
    t.columnComNumber = QStringLiteral("COM Number");
    t.columnStatus = QStringLiteral("Status");
    t.columnCableId = QStringLiteral("USB Cable ID");
    t.propertiesTitle = QStringLiteral("%1 Properties");
    t.noDeviceViewer = QStringLiteral(
        "No device viewer is installed on this computer, so the device manager cannot be "
        "shown. The cables and their ports are listed in this window; \"Properties\" shows "
        "the details of the selected one.");
    t.snapstartMissing =
        QStringLiteral("The device manager cannot be opened: snapstart could not be started (%1).");
    t.restartMessage = QStringLiteral(
        "The computer must be restarted to complete the installation of the Halvion USB "
        "Instrument driver.");
    t.ownerGone = QStringLiteral(
        "The COM port could not be handed to the program that asked for it: that program has "
        "ended or no longer answers. Choose the port in that program again.");

    t.statusOk = QStringLiteral("OK");
    t.statusNotPresent = QStringLiteral("Not present");
    t.statusObsoleteDriver = QStringLiteral("Obsolete driver");
    t.statusDriverNotInstalled = QStringLiteral("Driver not installed");
    t.statusDisabled = QStringLiteral("Disabled");

    t.reportHeading = QStringLiteral("Halvion USB Instrument cable");
    t.reportDeviceId = QStringLiteral("Device ID: %1");
    t.reportNotInstalled = QStringLiteral("This device is no longer installed.");

    t.helpList = QStringLiteral(
        "Lists every Halvion USB Instrument cable that has been installed on this computer: "
        "the COM port it uses, its state and the cable's ID. A greyed cable is not plugged in "
        "now. Click a column heading to sort by it.");
    t.helpProperties = QStringLiteral("Shows the properties of the selected cable.");
    t.helpDeviceManager = QStringLiteral(
        "Opens the device manager with the devices that are not plugged in shown as well.");
    t.helpOk = QStringLiteral("Uses the COM port of the selected cable and closes this window.");
    t.helpClose = QStringLiteral("Closes this window.");
    t.helpVersion = QStringLiteral("The version of the Halvion USB Instrument driver installed.");
    t.helpLogo = QStringLiteral("Opens the Halvion web site.");
    t.helpCancel = QStringLiteral("Closes this window without choosing a COM port.");
    t.helpNone = QStringLiteral("No help is available for this item.");
    return t;
}

CablewatchTexts Swedish() {
    CablewatchTexts t;
    t.windowTitle = QStringLiteral("Halvion USB-instrumentsökare");
    t.listLabel = QStringLiteral("Följande Halvion &USB-instrument har installerats:");
    t.propertiesCaption = QStringLiteral("&Egenskaper");
    t.deviceManagerCaption = QStringLiteral("Enhets&hanteraren...");
    t.okCaption = QStringLiteral("OK");
    t.closeCaption = QStringLiteral("Stäng");
    t.cancelCaption = QStringLiteral("Avbryt");
    t.versionPrefix = QStringLiteral("Drivrutinsversion: ");
    t.versionNone = QStringLiteral("Drivrutinsversion: (ingen)");
    t.whatsThisCaption = QStringLiteral("&Vad är det här?");
    t.columnComNumber = QStringLiteral("COM-nummer");
    t.columnStatus = QStringLiteral("Status");
    t.columnCableId = QStringLiteral("USB-kabel-ID");
    t.propertiesTitle = QStringLiteral("Egenskaper för %1");
    t.noDeviceViewer = QStringLiteral(
        "Det finns inget program för att visa enheter på den här datorn, så enhetshanteraren "
        "kan inte visas. Kablarna och deras portar listas i det här fönstret; \"Egenskaper\" "
        "visar uppgifter om den markerade kabeln.");
    t.snapstartMissing =
        QStringLiteral("Enhetshanteraren kan inte öppnas: snapstart kunde inte startas (%1).");
    t.restartMessage = QStringLiteral(
        "Datorn måste startas om för att installationen av drivrutinen för Halvion "
        "USB-instrument ska slutföras.");
    t.ownerGone = QStringLiteral(
        "COM-porten kunde inte lämnas till programmet som bad om den: programmet har avslutats "
        "eller svarar inte längre. Välj porten i det programmet igen.");

    t.statusOk = QStringLiteral("OK");
    t.statusNotPresent = QStringLiteral("Inte ansluten");
    t.statusObsoleteDriver = QStringLiteral("Föråldrad drivrutin");
    t.statusDriverNotInstalled = QStringLiteral("Drivrutin ej installerad");
    t.statusDisabled = QStringLiteral("Inaktiverad");

    t.reportHeading = QStringLiteral("Halvion USB-instrumentkabel");
    t.reportDeviceId = QStringLiteral("Enhets-ID: %1");
    t.reportNotInstalled = QStringLiteral("Den här enheten är inte längre installerad.");

    t.helpList = QStringLiteral(
        "Visar varje Halvion USB-instrumentkabel som har installerats på den här datorn: "
        "COM-porten den använder, dess status och kabelns ID. En grå kabel är inte ansluten "
        "just nu. Klicka på en kolumnrubrik för att sortera efter den.");
    t.helpProperties = QStringLiteral("Visar egenskaperna för den markerade kabeln.");
    t.helpDeviceManager =
        QStringLiteral("Öppnar enhetshanteraren och visar även de enheter som inte är anslutna.");
    t.helpOk =
        QStringLiteral("Använder den markerade kabelns COM-port och stänger det här fönstret.");
    t.helpClose = QStringLiteral("Stänger det här fönstret.");
    t.helpVersion =
        QStringLiteral("Versionen av den installerade drivrutinen för Halvion USB-instrument.");
    t.helpLogo = QStringLiteral("Öppnar Halvions webbplats.");
    t.helpCancel = QStringLiteral("Stänger det här fönstret utan att välja någon COM-port.");
    t.helpNone = QStringLiteral("Det finns ingen hjälp för det här objektet.");
    return t;
}

}  // namespace

const CablewatchTexts& TextsIn(const QString& language) {
    static const CablewatchTexts english = English();
    static const CablewatchTexts swedish = Swedish();
    return language == QLatin1String("sv") ? swedish : english;
}

const CablewatchTexts& Texts() {
    return TextsIn(StringTable::Language());
}

}  // namespace cablewatch
