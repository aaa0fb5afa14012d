#pragma once
// The program's message boxes: modal, with the application title and the
// icon of the message's style.

#include "base/MessageCatalogue.h"

class QWidget;

class GuiMessagePresenter : public MessagePresenter {
public:
    explicit GuiMessagePresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    bool Present(const MessageBoxSpec& box) override;

private:
    QWidget* parent_;
};
