#pragma once
// Puts the instrument's recorded-data reply into a document: a downloaded
// file's reply into a new document, a real-time reply into the real-time
// window's document. The parse itself is ParseRecordedData; here its result
// meets the document, the link's line counters and progress window, and the
// window around the document (DocumentHost). What the user is to be told, and
// whether the link's command failed, is handed back for the caller to show
// and to set.

#include <QString>
#include <QStringView>

class CommunicationProgress;
class Document;
class DocumentHost;
struct LinkState;

struct ReplyFill {
    bool failed = false;         // the reply was refused
    QString messageKey;          // to show the user; empty: nothing to tell
    bool commandFailed = false;  // the link's CommandFailed is to be set
};

// Fills document from reply: a download, or, for a real-time document
// (bRealTime), its first reply while HeaderPending and a poll's reply after.
// Between data lines the host lets the user interface run (a closing window,
// bExit, stops the parse); each line is counted into state's LineCount and
// shown in the progress window while it is loaded. On success the document's
// information and statistics are brought up to date, HeaderPending is
// cleared, and the host's document commands are enabled (a real-time window
// that reached 65000 points is stopped); a failed real-time line stops the
// real-time window (StopReal).
ReplyFill FillDocumentFromReply(Document& document, QStringView reply, LinkState& state,
                                CommunicationProgress* progress = nullptr,
                                DocumentHost* host = nullptr);

// Sets the link's CommandFailed and MessageKey as a fill asks.
void NoteReplyFill(const ReplyFill& fill, LinkState& state);
