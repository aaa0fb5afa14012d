#pragma once
// A message presenter for tests: records every box and answers as told.

#include <QList>
#include <functional>

#include "base/MessageCatalogue.h"

class RecordingPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        shown << box;
        if (onPresent) onPresent(box);
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
    // Called as each box is shown (what the program was doing at that moment).
    std::function<void(const MessageBoxSpec&)> onPresent;
};
