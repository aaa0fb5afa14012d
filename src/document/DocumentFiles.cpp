#include "document/DocumentFiles.h"

#include <QFileInfo>
#include <QSaveFile>

#include "document/Document.h"
#include "document/Export.h"
#include "document/T58File.h"

std::optional<DocumentFileType> FileTypeOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("t58")) return DocumentFileType::T58;
    if (suffix == QStringLiteral("csv")) return DocumentFileType::Csv;
    if (suffix == QStringLiteral("txt")) return DocumentFileType::Txt;
    return std::nullopt;
}

bool SaveDocumentFile(Document& document, const QString& path, DocumentFileType type,
                      DocumentHost* host) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const qint16 savedBefore = document.iSaved;
    bool written = false;
    switch (type) {
        case DocumentFileType::T58:
            written = t58Format(document, file, host);
            break;
        case DocumentFileType::Csv:
            written = csvFormat(document, file, host);
            break;
        case DocumentFileType::Txt:
            written = txtFormat(document, file, host);
            break;
    }
    if (!written || !file.commit()) {
        file.cancelWriting();
        document.iSaved = savedBefore;
        return false;
    }
    if (type == DocumentFileType::T58) document.FilePath = path;
    return true;
}
