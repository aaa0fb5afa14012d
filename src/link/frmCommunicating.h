#pragma once
// The small window shown while the instrument is being talked to: a message,
// a bar and Cancel, the only way to interrupt a command. It follows the link's
// CommunicationProgress: shown while that is loaded and visible. While it is
// shown the rest of the program takes no input.

#include <QDialog>

class Link;
class QLabel;
class QProgressBar;
class QPushButton;

class frmCommunicating : public QDialog {
    Q_OBJECT
public:
    frmCommunicating(Link& link, QWidget* mainWindow);

    // Brings the window in line with the progress state.
    void Sync();

    QProgressBar* Bar() const { return prgRead_; }
    QLabel* Detail() const { return lblDetail_; }

signals:
    // Text for the main window's message panel.
    void StatusText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Cancel();

    Link& link_;
    QLabel* lblCommunicating_;
    QLabel* lblDetail_;  // file k of n, points so far, seconds waited
    QProgressBar* prgRead_;
    QPushButton* cmdCancel_;
    QString lastMessage_;
};
