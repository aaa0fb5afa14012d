#include "help/GuiHelpKey.h"

#include <QKeyEvent>
#include <QWidget>

#include "help/HelpTopics.h"
#include "help/frmHelp.h"

bool GuiHelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->isAutoRepeat()) return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier)
        frmHelp::ShowContextHelp(static_cast<QWidget*>(watched));
    else if (modifiers == Qt::ShiftModifier)
        frmHelp::ShowPage(help::QuickGuidePage());
    else
        return false;
    return true;
}
