#include "base/MessageCatalogue.h"

#include <array>

#include "base/StringTable.h"

namespace {

// A message whose text is one string of the table.
struct PlainMessage {
    const char16_t* key;
    int id;
    MessageStyle style;
};

constexpr std::array<PlainMessage, 20> kPlainMessages = {{
    {u"Cannot Change", 5069, MessageStyle::Exclamation},
    {u"Change Settings", 5070, MessageStyle::Question},
    {u"Stop Real", 5071, MessageStyle::Question},
    {u"Real Time Disconnected", 5072, MessageStyle::Information},
    {u"Communication Errors", 5073, MessageStyle::Critical},
    {u"No Files", 5074, MessageStyle::Information},
    {u"Cannot autodetect indicator", 5081, MessageStyle::Exclamation},
    {u"All reserved", 5082, MessageStyle::Exclamation},
    {u"Cannot download", 5083, MessageStyle::Critical},
    {u"EOF Disconnected", 5085, MessageStyle::Information},
    {u"Wait Process", 5086, MessageStyle::Exclamation},
    {u"File Deleted", 5091, MessageStyle::Critical},
    {u"No Probe", 5092, MessageStyle::Exclamation},
    {u"File Error", 5093, MessageStyle::Critical},
    {u"File Unreadable", 6046, MessageStyle::Critical},
    {u"File Is Folder", 6047, MessageStyle::Critical},
    {u"Invalid File", 5094, MessageStyle::Critical},
    {u"Cannot Savefile", 5095, MessageStyle::Critical},
    {u"Invalid Date", 6019, MessageStyle::Critical},
    {u"Result Limit", 6020, MessageStyle::Critical},
}};

QString T(int id) {
    return StringTable::Text(id);
}

// "Cannot detect": the port the link tried, or for a LAN link the host.
QString CannotDetectText(const MessageContext& context) {
    if (context.lanSelection >= 1) {
        return T(6030) + T(6031) + context.lanHost + T(6032) + T(6033) + T(6034);
    }
    return T(5076) + QString::number(context.openingPort) + T(5077);
}

// "There is no COM": the port number follows both "COM"s of the text.
QString NoComText(const MessageContext& context) {
    const QString port = QString::number(context.openingPort);
    return T(5078) + port + T(5079) + port + T(5080);
}

// The port opened, but the system says this user may not use it.
QString PermissionDeniedText(const MessageContext& context) {
    return T(6040) + QString::number(context.openingPort) + T(6041);
}

// An open that failed for a reason other than a missing, busy or unavailable
// port: what the system said is the only clue the user gets.
QString CannotOpenPortText(const MessageContext& context) {
    return T(6042) + QString::number(context.openingPort) + T(6043) + context.systemText;
}

// The LAN host accepted the connection, so its address is right; the
// instrument behind it did not answer.
QString LanNoAnswerText(const MessageContext& context) {
    return T(6044) + context.lanHost + T(6045);
}

// Messages about a port, composed with its number, host or what the system
// said.
struct ComposedMessage {
    const char16_t* key;
    QString (*text)(const MessageContext&);
};

constexpr std::array<ComposedMessage, 5> kComposedMessages = {{
    {u"Cannot detect", CannotDetectText},
    {u"There is no COM", NoComText},
    {u"Permission Denied", PermissionDeniedText},
    {u"Cannot Open Port", CannotOpenPortText},
    {u"LAN No Answer", LanNoAnswerText},
}};

}  // namespace

std::optional<MessageBoxSpec> ComposeMessage(const QString& key, const MessageContext& context) {
    if (key.isEmpty()) return std::nullopt;
    MessageBoxSpec box;
    box.key = key;
    box.context = context;
    box.title = context.title;
    for (const ComposedMessage& message : kComposedMessages) {
        if (key == QStringView(message.key)) {
            box.text = message.text(context);
            box.style = MessageStyle::Exclamation;
            return box;
        }
    }
    for (const PlainMessage& message : kPlainMessages) {
        if (key == QStringView(message.key)) {
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
    if (key == u"Result Limit") key.clear();
    return box->yesNo ? answer : true;
}
