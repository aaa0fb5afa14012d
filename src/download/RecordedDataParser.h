#pragma once
// Turns the instrument's recorded-data text into a document: the reply to
// "PLAY" (a downloaded data file) and the replies of the real-time poll.
//
// A downloaded file's reply (CR LF lines, TAB fields, CTRL-Z at the end):
//   name TAB start TAB count TAB interval     the header, exactly three TABs
//   TAB name 1 TAB name 2 ...                 one field per quantity
//   TAB unit 1 TAB unit 2 ...                 as many TABs as the names line
//   yy-mm-dd hh:mm:ss TAB value 1 ...         one line per point; one extra
//                                             TAB before the CR LF is allowed
//   CTRL-Z
// A real-time reply has no header line; its first reply holds the names line
// (whose first field, above the time column, is skipped) and the units line,
// later replies data lines only.
//
// The parser fills the document's record and its information texts, counts
// the lines into the link state's progress counters, and reports a failed
// reply ("Communication Errors") through the message presenter. It keeps at
// most 65000 points; the rest of a longer reply is dropped.

#include <QString>

#include "base/MessageCatalogue.h"

class CommunicationProgress;
class Document;
class DocumentHost;
struct LinkState;

class RecordedDataParser {
public:
    // progress: the progress window's state while one is shown (may be null);
    // presenter shows "Communication Errors" (may be null: nothing shown);
    // host serves the user interface and the main window's operations.
    RecordedDataParser(Document& document, LinkState& state, CommunicationProgress* progress,
                       MessagePresenter* presenter, MessageContext context = {},
                       DocumentHost* host = nullptr);

    // Parses one whole reply into the document and consumes the buffer.
    // Afterwards Failed() tells whether the reply was refused; for a download
    // the link state's CommandFailed says the same.
    void ReadBuffer(QString& buffer);
    bool Failed() const { return failed_; }

private:
    bool ReadHeader(QString& buffer);
    bool ReadColumns(QString& buffer, int& tabCount);
    void ReportProgress();
    void Fail(bool quietly);

    Document& document_;
    LinkState& state_;
    CommunicationProgress* progress_;
    MessagePresenter* presenter_;
    MessageContext context_;
    DocumentHost* host_;
    bool failed_ = false;
    int expectedPoints_ = 0;  // the header's point count
};
