#include "base/MessageCatalogue.h"

#include <array>

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

namespace {

// A message whose text is one string of the table.
struct PlainMessage {
    const QString& key;
    int id;
    MessageStyle style;
};

const std::array<PlainMessage, 22> kPlainMessages = {{
    {MessageKeys::kCannotChange, 5069, MessageStyle::Exclamation},
    {MessageKeys::kChangeSettings, 5070, MessageStyle::Question},
    {MessageKeys::kStopReal, 5071, MessageStyle::Question},
    {MessageKeys::kRealTimeDisconnected, 5072, MessageStyle::Information},
    {MessageKeys::kCommunicationErrors, 5073, MessageStyle::Critical},
    {MessageKeys::kNoFiles, 5074, MessageStyle::Information},
    {MessageKeys::kCannotAutodetect, 5081, MessageStyle::Exclamation},
    {MessageKeys::kAllReserved, 5082, MessageStyle::Exclamation},
    {MessageKeys::kCannotDownload, 5083, MessageStyle::Critical},
    {MessageKeys::kEofDisconnected, 5085, MessageStyle::Information},
    {MessageKeys::kWaitProcess, 5086, MessageStyle::Exclamation},
    {MessageKeys::kFileDeleted, 5091, MessageStyle::Critical},
    {MessageKeys::kNoProbe, 5092, MessageStyle::Exclamation},
    {MessageKeys::kNoPrinter, 6050, MessageStyle::Exclamation},
    {MessageKeys::kCannotPrint, 6094, MessageStyle::Exclamation},
    {MessageKeys::kFileError, 5093, MessageStyle::Critical},
    {MessageKeys::kFileUnreadable, 6046, MessageStyle::Critical},
    {MessageKeys::kFileIsFolder, 6047, MessageStyle::Critical},
    {MessageKeys::kInvalidFile, 5094, MessageStyle::Critical},
    {MessageKeys::kCannotSavefile, 5095, MessageStyle::Critical},
    {MessageKeys::kInvalidDate, 6019, MessageStyle::Critical},
    {MessageKeys::kResultLimit, 6020, MessageStyle::Critical},
}};

QString T(int id) {
    return StringTable::Text(id);
}

// "Cannot detect": the port the link tried, or for a LAN link the host.
QString CannotDetectText(const MessageContext& context) {
    if (context.lanSelection >= 1) {
        return T(Str::kLanCannotReach) + T(Str::kLanAddressBefore) + context.lanHost +
               T(Str::kLanAddressAfter) + T(Str::kLanCables) + T(Str::kLanNetworkDevices);
    }
    return T(Str::kCannotDetectComBefore) + QString::number(context.openingPort) +
           T(Str::kCannotDetectComAfter);
}

// "There is no COM": the port number follows both "COM"s of the text.
QString NoComText(const MessageContext& context) {
    const QString port = QString::number(context.openingPort);
    return T(Str::kNoComBefore) + port + T(Str::kNoComMiddle) + port + T(Str::kNoComAfter);
}

// The port opened, but the system says this user may not use it.
QString PermissionDeniedText(const MessageContext& context) {
    return T(Str::kPermissionDeniedBefore) + QString::number(context.openingPort) +
           T(Str::kPermissionDeniedAfter);
}

// An open that failed for a reason other than a missing, busy or unavailable
// port: what the system said is the only clue the user gets.
QString CannotOpenPortText(const MessageContext& context) {
    return T(Str::kCannotOpenPortBefore) + QString::number(context.openingPort) +
           T(Str::kCannotOpenPortAfter) + context.systemText;
}

// The LAN host accepted the connection, so its address is right; the
// instrument behind it did not answer.
QString LanNoAnswerText(const MessageContext& context) {
    return T(Str::kLanNoAnswerBefore) + context.lanHost + T(Str::kLanNoAnswerAfter);
}

// Messages about a port, composed with its number, host or what the system
// said.
struct ComposedMessage {
    const QString& key;
    QString (*text)(const MessageContext&);
};

const std::array<ComposedMessage, 5> kComposedMessages = {{
    {MessageKeys::kCannotDetect, CannotDetectText},
    {MessageKeys::kThereIsNoCom, NoComText},
    {MessageKeys::kPermissionDenied, PermissionDeniedText},
    {MessageKeys::kCannotOpenPort, CannotOpenPortText},
    {MessageKeys::kLanNoAnswer, LanNoAnswerText},
}};

}  // namespace

std::optional<MessageBoxSpec> ComposeMessage(const QString& key, const MessageContext& context) {
    if (key.isEmpty()) return std::nullopt;
    MessageBoxSpec box;
    box.key = key;
    box.context = context;
    box.title = context.title;
    for (const ComposedMessage& message : kComposedMessages) {
        if (key == message.key) {
            box.text = message.text(context);
            box.style = MessageStyle::Exclamation;
            return box;
        }
    }
    for (const PlainMessage& message : kPlainMessages) {
        if (key == message.key) {
            box.text = T(message.id);
            box.style = message.style;
            box.yesNo = message.style == MessageStyle::Question;
            return box;
        }
    }
    return std::nullopt;
}

bool ShowMessage(QString& key, const MessageContext& context, MessagePresenter& presenter) {
    const std::optional<MessageBoxSpec> box = ComposeMessage(key, context);
    if (!box) return true;
    const bool answer = presenter.Present(*box);
    // The range-limit notice is shown once; the caller goes on with the data
    // received so far.
    if (key == MessageKeys::kResultLimit) key.clear();
    return box->yesNo ? answer : true;
}
