#pragma once
// Every failure and confirmation message of the instrument functions and the
// document files is shown through ShowMessage, addressed by a fixed English
// key ("Communication Errors", "Invalid File", ...). The key is never shown;
// the text comes from the string table, with the port number or LAN host
// spliced in.

#include <QString>
#include <optional>

enum class MessageStyle { Exclamation, Critical, Information, Question };

// What the catalogue splices into its texts.
struct MessageContext {
    QString title = QStringLiteral("TR58 Link");
    int openingPort = 0;   // OpeningPort, the "COMn" of the serial texts
    int lanSelection = 0;  // 1..8 when the link is a LAN host
    QString lanHost;       // host of that LAN entry
    QString device;        // the serial device of that COM port, when known
    QString systemText;    // what the system said about a failed open
};

struct MessageBoxSpec {
    QString key;
    MessageContext context;  // what the text was composed from
    QString title;           // the application title
    QString text;
    MessageStyle style = MessageStyle::Exclamation;
    bool yesNo = false;  // Question boxes have Yes and No; all others OK
};

// Shows a box and returns the answer: true for OK and Yes, false for No. The
// program implements it with QMessageBox, the tests with a recorder, the
// command-line tool on standard error.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual bool Present(const MessageBoxSpec& box) = 0;
};

// The box for a key; nothing for an empty key or one not in the catalogue.
std::optional<MessageBoxSpec> ComposeMessage(const QString& key, const MessageContext& context);

// Shows the message of key. False only when a Yes/No question was answered No;
// true in every other case, also for an unknown or empty key (nothing shown).
// After "Result Limit" the key is emptied.
bool ShowMessage(QString& key, const MessageContext& context, MessagePresenter& presenter);
