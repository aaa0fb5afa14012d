#pragma once
// A document, the link state and a progress window for the recorded-data
// parser, with the instrument simulator's replies as input.

#include <gtest/gtest.h>

#include "base/MessageCatalogue.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "download/RecordedDataFill.h"
#include "download/RecordedDataParser.h"
#include "link/CommunicationProgress.h"
#include "link/LinkState.h"
#include "support/RecordingPresenter.h"

// Records the main window's operations the parser calls.
class RecordingHost : public DocumentHost {
public:
    void Yield() override { ++yields; }
    void StopReal() override { ++stopReal; }
    void StopRealTime(bool limitReached) override { stopRealTimeLimit << limitReached; }
    void SetDocumentCommands(bool enabled) override { documentCommands << enabled; }
    int yields = 0;
    int stopReal = 0;
    QList<bool> stopRealTimeLimit;
    QList<bool> documentCommands;
};

// Fills document from reply as the program's callers do: the link state
// notes the outcome and the message, if any, is shown.
inline ReplyFill FillAndTell(Document& document, const QString& reply, LinkState& state,
                             MessagePresenter* presenter, DocumentHost* host = nullptr,
                             CommunicationProgress* progress = nullptr) {
    const ReplyFill fill = FillDocumentFromReply(document, reply, state, progress, host);
    NoteReplyFill(fill, state);
    if (!fill.messageKey.isEmpty() && presenter) ShowMessage(state.MessageKey, {}, *presenter);
    return fill;
}

class ParserFixture : public ::testing::Test {
protected:
    // Parses text (CTRL-Z appended unless it is there) into the document.
    void Parse(const QString& text, bool appendEndMark = true) {
        QString buffer = text;
        if (appendEndMark && !buffer.endsWith(QChar(0x1A))) buffer += QChar(0x1A);
        failed = FillAndTell(document, buffer, state, &presenter, &host, &progress).failed;
    }
    void ParseBytes(const QByteArray& bytes) { Parse(DecodeInstrumentBytes(bytes), false); }

    // A downloaded file's reply: header, names, units and the data lines.
    static QString Reply(const QStringList& dataLines, const QString& interval = "020A",
                         const QString& names = "\tRH\tT", const QString& units = "\t%RH\tC") {
        QString text = QStringLiteral("Store room\t12-03-05 14:00:00\t%1\t%2\r\n")
                           .arg(dataLines.size())
                           .arg(interval);
        text += names + QStringLiteral("\r\n") + units + QStringLiteral("\r\n");
        for (const QString& line : dataLines) text += line + QStringLiteral("\r\n");
        return text;
    }

    void SetUp() override {
        document.bKapula = true;
        progress.Load();
        progress.SetFileCount(1);
        progress.SetFileNow(1);
    }

    Document document;
    LinkState state;
    CommunicationProgress progress;
    RecordingPresenter presenter;
    RecordingHost host;
    bool failed = false;
};
