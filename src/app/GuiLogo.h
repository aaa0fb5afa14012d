#pragma once
// The logo and its labels, shared by the splash and About windows.

#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

// The picture and the two labels (version 5042, maker notice 5043) that the
// splash and About windows share, made as children of window.
struct LogoParts {
    QLabel* logo;
    QLabel* label1;
    QLabel* label2;
};
LogoParts AddLogoParts(QWidget* window, const QString& programFolder);

// The logo of the splash and About windows: "TR58Link.bmp" in the program's
// folder when it is there and readable, else the built-in one.
QPixmap ProgramLogo(const QString& programFolder);
