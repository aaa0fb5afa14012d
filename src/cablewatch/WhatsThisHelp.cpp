#include "cablewatch/WhatsThisHelp.h"

#include "cablewatch/CablewatchTexts.h"

namespace cablewatch {

QString WhatsThisText(int helpId) {
    const CablewatchTexts& texts = Texts();
    switch (helpId) {
        case kHelpList:
            return texts.helpList;
        case kHelpProperties:
            return texts.helpProperties;
        case kHelpDeviceManager:
            return texts.helpDeviceManager;
        case kHelpOk:
            return texts.helpOk;
        case kHelpClose:
            return texts.helpClose;
        case kHelpVersion:
            return texts.helpVersion;
        case kHelpLogo:
            return texts.helpLogo;
        case kHelpCancel:
            return texts.helpCancel;
        default:
            return texts.helpNone;
    }
}

}  // namespace cablewatch
