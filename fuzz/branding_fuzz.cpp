// Fuzz target: ReadBranding, the reader of the branding file a distributor puts next to the
// program (tr58link.cfg: its name, copyright and about text), given any bytes as the file. The
// title made of it is never empty and is one line.

#include "QtFuzz.h"
#include "base/Branding.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartQt();
    static const QString folder = [] {
        const QString path = fuzz::Scratch() + QStringLiteral("/branding");
        Check(QDir().mkpath(path));
        return path;
    }();
    fuzz::WriteScratchFile(QStringLiteral("branding/tr58link.cfg"), data, size);
    const Branding branding = ReadBranding(folder);
    const QString title = ApplicationTitle(branding);
    Check(!title.isEmpty());
    for (const QString* text : {&branding.APPNAME, &branding.COPYRIGHT, &branding.ABOUT})
        Check(!text->contains(QLatin1Char('\n')) && !text->contains(QLatin1Char('\r')));
    return 0;
}
