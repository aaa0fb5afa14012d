#include "base/GuiCaptions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "base/CaptionRules.h"
#include "base/StringTable.h"

namespace {

// The text of an id that must be the whole text; nothing when it is not a
// number or not in the table (the control keeps its text).
std::optional<QString> TextOfWhole(const QString& id) {
    const auto number = WholeNumberId(id);
    if (!number || !StringTable::Contains(*number)) return std::nullopt;
    return StringTable::Text(*number);
}

std::optional<QString> TextOfLeading(const QString& id, int minimum) {
    const int number = LeadingNumberId(id);
    if (number < minimum || !StringTable::Contains(number)) return std::nullopt;
    return StringTable::Text(number);
}

QString Property(const QObject* object, const char* name) {
    return object->property(name).toString();
}

void ApplyFont(QWidget* widget, const FontRule& rule) {
    // The 8 pt of the classic design is today's default size; the East Asian
    // fonts keep their slightly larger ratio.
    QFont font = widget->font();
    const double base =
        QApplication::font().pointSizeF() > 0 ? QApplication::font().pointSizeF() : 9.0;
    if (!rule.family.isEmpty() && QFontDatabase::families().contains(rule.family))
        font.setFamily(rule.family);
    font.setPointSizeF(base * rule.pointSize / 8.0);
    widget->setFont(font);
}

void ApplyMenu(QMenu* menu) {
    if (auto text = TextOfWhole(menu->title())) menu->setTitle(*text);
}

void ApplyAction(QAction* action) {
    if (action->isSeparator()) return;
    if (auto text = TextOfWhole(action->text())) action->setText(*text);
}

}  // namespace

QPushButton* AddCaptionedButton(QDialogButtonBox* box, const char* name, Str::Id tag,
                                QDialogButtonBox::ButtonRole role) {
    QPushButton* button = box->addButton(Str::Tag(tag), role);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("Tag", Str::Tag(tag));
    return button;
}

void ApplyCaptions(QWidget* window) {
    if (auto title = TextOfWhole(Property(window, "Tag"))) window->setWindowTitle(*title);
    const FontRule rule = FontRuleForLocale(WindowsLocaleId(QLocale::system()));

    for (QWidget* widget : window->findChildren<QWidget*>()) {
        ApplyFont(widget, rule);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (auto text = TextOfWhole(Property(label, "Tag"))) label->setText(*text);
        } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
            ApplyMenu(menu);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            const QStringList tags = tabs->property("TabTags").toStringList();
            const QStringList tips = tabs->property("TabToolTips").toStringList();
            for (int i = 0; i < tabs->count(); ++i) {
                if (auto text = TextOfWhole(tags.value(i))) tabs->setTabText(i, *text);
                if (auto tip = TextOfWhole(tips.value(i))) tabs->setTabToolTip(i, *tip);
            }
        } else if (auto* toolbar = qobject_cast<QToolBar*>(widget)) {
            for (QAction* action : toolbar->actions())
                if (auto tip = TextOfWhole(action->toolTip())) action->setToolTip(*tip);
        } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            const QStringList tags = tree->property("ColumnTags").toStringList();
            QTreeWidgetItem* header = tree->headerItem();
            for (int i = 0; i < tags.size() && i < tree->columnCount(); ++i)
                if (auto text = TextOfWhole(tags.at(i))) header->setText(i, *text);
        } else {
            if (auto text = TextOfLeading(Property(widget, "Tag"), 1)) {
                if (auto* button = qobject_cast<QAbstractButton*>(widget))
                    button->setText(*text);
                else if (auto* group = qobject_cast<QGroupBox*>(widget))
                    group->setTitle(*text);
            }
            if (auto tip = TextOfLeading(Property(widget, "ToolTipText"), 1))
                widget->setToolTip(*tip);
        }
    }
    // Menu items are actions owned by the window, not widgets.
    for (QAction* action : window->findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        if (action->property("Key").isValid()) continue;  // toolbar buttons keep their text
        ApplyAction(action);
    }
    for (QMenu* menu : window->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (!action->menu()) ApplyAction(action);
}
