#pragma once
// The user manual's pages and which one answers for which window. The manual
// is HTML in the program's resources (src/help/sv/, and src/help/<language>/
// for a translation); a window asks for help
// on itself by the names of the controls from the focused one out to its
// window, and the innermost name with a page of its own chooses it.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace help {

// The folder of the manual's pages in the resources: the Swedish manual.
inline const QString kManualFolder = QStringLiteral(":/help/sv");
// Where the manual of each language would be: <root>/<language>/.
inline const QString kManualRoot = QStringLiteral(":/help");

// The folder page ("hamta.html") is read from in language ("en"): that
// language's own folder under root when it holds the page, else the Swedish
// manual's, which has every page.
QString ManualFolderFor(const QString& language, const QString& page,
                        const QString& root = kManualRoot);

// A page of the manual ("hamta.html", "realtid.html#journal") as the help
// window's browser opens it, in the program's language when the manual has
// that page in it (see ManualFolderFor).
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
