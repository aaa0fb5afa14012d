#pragma once
// The What's This help of Cablewatch's controls, by help id.

#include <QString>

namespace cablewatch {

enum WhatsThisId {
    kHelpList = 1,
    kHelpProperties = 2,
    kHelpDeviceManager = 3,
    kHelpOk = 4,
    kHelpClose = 5,
    kHelpVersion = 6,
    kHelpLogo = 7,
    kHelpCancel = 8,  // the Close button of a port picker
};

// The help text of id; a general text for an id without one.
QString WhatsThisText(int helpId);

}  // namespace cablewatch
