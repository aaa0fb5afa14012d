#pragma once
// F1 anywhere in the program: help on the window in front. Installed on the
// application; the main window's own F1 (its Help menu item) goes first, so
// this answers in every other window, the dialogs included.

#include <QObject>

class GuiHelpKey : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
