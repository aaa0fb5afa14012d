#pragma once
// The help window: the user manual, HTML from the program's resources, in a
// browser with Back, Forward and Contents. There is one help window; asking
// for help again shows the page asked for in it. While a modal dialog is in
// front the window belongs to that dialog, so that it can be read and used
// beside it.

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

class frmHelp : public QWidget {
    Q_OBJECT
public:
    // Opens the help window (or brings it forward) on page.
    static frmHelp* ShowPage(const QUrl& page);
    // Opens it on the page for the control focus and the window it is in.
    static frmHelp* ShowContextHelp(QWidget* focus);
    // The help window when one is open, else nullptr.
    static frmHelp* Current();

    QUrl Page() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    explicit frmHelp(QWidget* owner);
    void Show(const QUrl& page);

    QTextBrowser* browser_ = nullptr;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    QToolButton* cmdContents = nullptr;
    static QPointer<frmHelp> current_;
};
