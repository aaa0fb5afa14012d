// The kterm window's screen: draws the Screen in a fixed-pitch font and turns keys into bytes
// for the line (cursor and editing keys through the ANSI key translation).
#pragma once

#include <QWidget>

class TerminalSession;

class TerminalView : public QWidget {
    Q_OBJECT
public:
    explicit TerminalView(TerminalSession& session, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TerminalSession& session_;
};
