#include "base/Branding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include "base/TextHelpers.h"

namespace {

const QString kFileName = QStringLiteral("tr58link.cfg");
const QString kHeader = QStringLiteral("[BRANDING]");

// The file is edited by hand: an editor of today saves UTF-8 (perhaps with a
// byte-order mark), an older one the Windows code page. Bytes that are not
// valid UTF-8 are read as Windows-1252.
QString DecodeBrandingText(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return DecodeWindows1252(bytes);
}

// Lines ended by CR LF, LF or CR; the end of the file ends the last line.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch != u'\r' && ch != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

bool Complete(const Branding& branding) {
    return !branding.APPNAME.isEmpty() && !branding.COPYRIGHT.isEmpty() &&
           !branding.ABOUT.isEmpty();
}

}  // namespace

Branding ReadBranding(const QString& folder) {
    Branding branding;
    const QString path = QDir(folder).filePath(kFileName);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0) return branding;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return branding;
    const QByteArray bytes = file.readAll();
    file.close();

    bool searching = true;
    for (const QString& line : SplitLines(DecodeBrandingText(bytes))) {
        if (line.isEmpty()) continue;
        if (searching) {
            // The section header must be the first non-empty line.
            if (line.toUpper() != kHeader) break;
            searching = false;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) break;  // not an entry: the rest of the file is not read
        const QString key = line.left(equals).toUpper();
        const QString value = line.mid(equals + 1);
        if (key == QStringLiteral("APPNAME")) {
            branding.APPNAME = value;
        } else if (key == QStringLiteral("COPYRIGHT")) {
            branding.COPYRIGHT = value;
        } else if (key == QStringLiteral("ABOUT")) {
            branding.ABOUT = value;
        }
        if (Complete(branding)) break;
    }
    return branding;
}

QString ApplicationTitle(const Branding& branding) {
    return branding.APPNAME.isEmpty() ? QStringLiteral("TR58 Link") : branding.APPNAME;
}
