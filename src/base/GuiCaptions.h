#pragma once
// ApplyCaptions: the first thing every window of the program does when it
// loads. Windows are designed with string ids where their texts go (kept in
// dynamic properties, standing in for the design-time Tag, Caption and
// ToolTipText); this replaces them with the texts of the string table and
// gives every control the font that suits the user's language.
//
// Where the ids are kept:
//   the window itself  property "Tag" -> window title (whole number)
//   QLabel             property "Tag" -> text (whole number)
//   QMenu, QAction     their own title/text -> the text of that id (whole number)
//   QTabWidget         property "TabTags" and "TabToolTips" (string lists) per tab
//   QToolBar           each action's tool tip (whole number)
//   QTreeWidget        property "ColumnTags" (string list) -> header texts
//   any other widget   property "Tag" (leading number) -> text or title;
//                      property "ToolTipText" (leading number) -> tool tip

#include <QDialogButtonBox>

#include "base/StringIds.h"

class QPushButton;
class QWidget;

void ApplyCaptions(QWidget* window);

// A button of a dialog's button row, named and carrying its string id in
// "Tag" (its text until ApplyCaptions runs).
QPushButton* AddCaptionedButton(QDialogButtonBox* box, const char* name, Str::Id tag,
                                QDialogButtonBox::ButtonRole role);
