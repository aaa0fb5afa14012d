#include "app/GuiLogo.h"

#include <QLabel>

#include "app/ProgramFiles.h"
#include "base/GuiImages.h"
#include "base/StringIds.h"

QPixmap ProgramLogo(const QString& programFolder) {
    const QString file = LogoOverride(programFolder);
    const QPixmap picture = file.isEmpty() ? QPixmap() : QPixmap(file);
    return picture.isNull() ? BuiltInLogo() : picture;
}

LogoParts AddLogoParts(QWidget* window, const QString& programFolder) {
    LogoParts parts{new QLabel(window), new QLabel(window), new QLabel(window)};
    parts.logo->setObjectName(QStringLiteral("imgLogo"));
    parts.logo->setFixedSize(400, 300);
    parts.logo->setScaledContents(true);
    parts.logo->setPixmap(ProgramLogo(programFolder));
    parts.label1->setObjectName(QStringLiteral("Label1"));
    parts.label1->setProperty("Tag", Str::Tag(Str::kAboutVersion));
    parts.label2->setObjectName(QStringLiteral("Label2"));
    parts.label2->setProperty("Tag", Str::Tag(Str::kAboutNotice));
    return parts;
}
