#pragma once
// The user manual's pages and which one answers for which window. The manual
// is HTML in the program's resources (src/help/sv/); a window asks for help
// on itself by the names of the controls from the focused one out to its
// window, and the innermost name with a page of its own chooses it.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace help {

// The folder of the manual's pages in the resources.
inline const QString kManualFolder = QStringLiteral(":/help/sv");

// A page of the manual ("hamta.html", "realtid.html#journal") as the help
// window's browser opens it.
QUrl ManualPage(const QString& pageAndAnchor);
// The contents page: what the main window and Help > Contents show.
QUrl StartPage();
// Help > Quick guide: getting started with the simulator.
QUrl QuickGuidePage();

// The page for the controls named from the focused one outwards (object
// names and class names mixed, innermost first); the start page when none
// of them has one.
QUrl TopicFor(const QStringList& namesInnerToOuter);

}  // namespace help
