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

bool SaveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!write(file) || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    return true;
}

bool SaveDocumentFile(Document& document, const QString& path, DocumentFileType type,
                      DocumentHost* host) {
    const Saved::State savedBefore = document.iSaved;
    const bool saved = SaveFileAtomically(path, [&](QIODevice& file) {
        switch (type) {
            case DocumentFileType::T58:
                return t58Format(document, file, host);
            case DocumentFileType::Csv:
                return csvFormat(document, file, host);
            case DocumentFileType::Txt:
                return txtFormat(document, file, host);
        }
        return false;
    });
    if (!saved) {
        // The file on disk is as it was. A document that matched it still
        // does, unless it was changed while the save ran.
        if (savedBefore != Saved::kUnchanged || document.iSaved != Saved::kChanged)
            document.iSaved = savedBefore;
        return false;
    }
    if (type == DocumentFileType::T58) document.FilePath = path;
    return true;
}
