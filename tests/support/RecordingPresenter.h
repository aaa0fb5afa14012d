#pragma once
// A message presenter for tests: records every box and answers as told.

#include <QList>

#include "base/MessageCatalogue.h"

class RecordingPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        shown << box;
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
    QStringList Keys() const {
        QStringList keys;
        for (const MessageBoxSpec& box : shown) keys << box.key;
        return keys;
    }
    QList<MessageBoxSpec> shown;
    bool answer = true;   // Yes / OK
    QList<bool> answers;  // the next answers, in turn, before answer
};
