#include "document/Export.h"

#include <QIODevice>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "document/DocumentTexts.h"

namespace {

constexpr qsizetype kFlushSize = 256 * 1024;
constexpr qint32 kYieldEvery = 1024;

enum class ExportKind { Text, Csv };

QString HeaderText(const QuantityInfo& quantity) {
    return CleanInstrumentText(quantity.Name.trimmed()) + QStringLiteral(", ") +
           CleanInstrumentText(quantity.Unit.trimmed());
}

bool Flush(QIODevice& file, QByteArray& out) {
    if (out.isEmpty()) return true;
    const bool written = file.write(out) == out.size();
    out.clear();
    return written;
}

bool Export(Document& document, QIODevice& file, DocumentHost* host, ExportKind kind) {
    document.bCommunicate = true;
    const QString separator =
        kind == ExportKind::Text ? QStringLiteral("\t") : UserLocale::ListSeparator();
    const QByteArray separatorBytes = UserLocale::EncodeText(separator);
    const int quantities = document.QuantityCount();

    // One header field per data field, so that every heading stands above its
    // column: an empty one above the time, and above a quantity without a name.
    QString header;
    for (int q = 0; q < quantities; ++q) {
        const QuantityInfo& quantity = document.Quantity(q);
        header += separator;
        if (quantity.Name.trimmed().isEmpty()) continue;
        if (kind == ExportKind::Text)
            header += HeaderText(quantity);
        else
            header += u'"' + HeaderText(quantity) + u'"';
    }
    QByteArray out;
    // Spreadsheets take a CSV file for UTF-8 only by its byte-order mark.
    if (kind == ExportKind::Csv && UserLocale::TextEncoding() == UserTextEncoding::Utf8)
        out += "\xEF\xBB\xBF";
    out += UserLocale::EncodeText(header) + "\r\n";

    const QByteArray missing = kind == ExportKind::Text ? QByteArray("-") : QByteArray();
    const qint32 count = document.PointCount();
    for (qint32 i = 0; i < count; ++i) {
        if (host && i % kYieldEvery == kYieldEvery - 1) {
            host->Yield();
            if (document.bExit) {
                document.bCommunicate = false;
                return false;
            }
        }
        out += UserLocale::EncodeText(PlatformDateTimeText(document.PointTime(i)));
        for (int q = 0; q < quantities; ++q) {
            out += separatorBytes;
            const PointValue point = document.Value(i, q);
            if (point.Valid)
                out += UserLocale::EncodeText(
                    FormatDecimals(point.Value, document.Quantity(q).Decimals));
            else
                out += missing;
        }
        out += "\r\n";
        if (out.size() >= kFlushSize && !Flush(file, out)) {
            document.bCommunicate = false;
            return false;
        }
    }
    const bool written = Flush(file, out);
    document.bCommunicate = false;
    return written;
}

}  // namespace

bool txtFormat(Document& document, QIODevice& file, DocumentHost* host) {
    return Export(document, file, host, ExportKind::Text);
}

bool csvFormat(Document& document, QIODevice& file, DocumentHost* host) {
    return Export(document, file, host, ExportKind::Csv);
}
