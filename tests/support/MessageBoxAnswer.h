#pragma once
// Widget tests: answers the message box that is open (call it from a timer while the box runs).

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>

// The texts of the open box's buttons, sorted; presses the button of role, or rejects the box
// when it has none. "no message box" when none is open.
inline QStringList AnswerOpenMessageBox(QMessageBox::ButtonRole press) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return {QStringLiteral("no message box")};
    QStringList texts;
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* button : box->buttons()) {
        texts << button->text();
        if (box->buttonRole(button) == press) chosen = button;
    }
    texts.sort();
    if (chosen)
        chosen->click();
    else
        box->reject();
    return texts;
}
