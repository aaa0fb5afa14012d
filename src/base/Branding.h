#pragma once
// The optional branding file "tr58link.cfg" beside the program: it can rename
// the application and replace the About texts without a rebuild.

#include <QString>

struct Branding {
    QString APPNAME;
    QString COPYRIGHT;
    QString ABOUT;
};

// Reads "tr58link.cfg" from folder (the program's folder). A missing, empty or
// malformed file leaves the values read so far (all empty at first).
Branding ReadBranding(const QString& folder);

// The application title: APPNAME when given, else "TR58 Link". It also names
// the settings store.
QString ApplicationTitle(const Branding& branding);
