#pragma once
// What the file dialog needs from the program around it: the link, the
// message line, messages, the focus back after the dialog, and a document
// window for each downloaded reply. The main window implements it; the dialog
// never sees the main window itself.

#include <QString>

class Link;
class QWidget;

class DownloadHost {
public:
    virtual ~DownloadHost() = default;
    virtual Link& GetLink() = 0;
    // The window the dialog and its messages belong to.
    virtual QWidget* HostWindow() = 0;
    virtual QString ApplicationTitle() const = 0;
    // The message line of the status bar.
    virtual void SetStatusText(const QString& text) = 0;
    virtual bool ShowMessage(const QString& key) = 0;
    // A message box of a text of its own (key names it, as ShowMessage's).
    virtual bool PresentText(const QString& key, const QString& text, bool question) = 0;
    // Gives the focus back to the main window.
    virtual void MainFocus() = 0;
    // Makes a document window of a downloaded reply and shows it. False when
    // the reply could not be read (the reason has been shown); no window stays.
    virtual bool AddDownloadedDocument(QString& reply) = 0;
};
