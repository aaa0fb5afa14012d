#pragma once
// What a document window needs from the program around it, in the manner of
// an editor view's main window: the pop-up menu of a page, the message line,
// the close question, the document commands, and the link a downloaded reply
// came over. The main window implements it; the document window never sees
// the main window itself.

#include <QString>

class Link;
class QMenu;
class frmDocument;

class DocumentWindowHost {
public:
    virtual ~DocumentWindowHost() = default;
    // The pop-up menu of a page (frmDocument::kInformationPage ...).
    virtual QMenu* PagePopUp(int page) = 0;
    // The message line of the status bar.
    virtual void SetStatusText(const QString& text) = 0;
    virtual QString StatusText() const { return {}; }
    // The real-time window has stopped polling: the real-time commands are
    // available again.
    virtual void RealTimeStopped(frmDocument& /*document*/) {}
    // A message box of the program's own text; true for Yes.
    virtual bool PresentText(const QString& key, const QString& text, bool question) = 0;
    // The close question of a document: false when it must stay open.
    virtual bool ConfirmCloseDocument(frmDocument& document) = 0;
    // Enables or disables the main window's commands for documents.
    virtual void SetDocumentCommands(bool enabled) = 0;
    // The link a downloaded reply came over: its state, progress and messages.
    virtual Link& GetLink() = 0;
};
