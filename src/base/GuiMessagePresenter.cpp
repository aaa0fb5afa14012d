#include "base/GuiMessagePresenter.h"

#include <QMessageBox>

bool GuiMessagePresenter::Present(const MessageBoxSpec& box) {
    QMessageBox::Icon icon = QMessageBox::Warning;
    switch (box.style) {
        case MessageStyle::Exclamation:
            icon = QMessageBox::Warning;
            break;
        case MessageStyle::Critical:
            icon = QMessageBox::Critical;
            break;
        case MessageStyle::Information:
            icon = QMessageBox::Information;
            break;
        case MessageStyle::Question:
            icon = QMessageBox::Question;
            break;
    }
    QMessageBox message(icon, box.title, box.text,
                        box.yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_);
    message.setObjectName(QStringLiteral("ShowMessage"));
    return message.exec() != QMessageBox::No;
}
