#pragma once
// Saving a document to a path in one of its three file types, chosen by the
// extension (.t58, .csv, .txt). Every save goes through QSaveFile: the new
// file replaces the old one only once it has been written completely, so a
// failed or interrupted save leaves the previous file as it was.

#include <QString>
#include <functional>
#include <optional>

class Document;
class DocumentHost;
class QIODevice;

// The one way the program writes a file for the user (documents, exports,
// pictures): write gets a device open for writing, and the file at path is
// replaced only when write returned true and every byte reached the disk.
// Otherwise the previous file stays as it was and false is returned.
bool SaveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

enum class DocumentFileType { T58, Csv, Txt };

// The type of a path by its extension (case-insensitive); nothing for others.
std::optional<DocumentFileType> FileTypeOfPath(const QString& path);

// Writes the document to path. A .t58 save marks it saved (iSaved unchanged since) and FilePath to
// the path; an export changes neither. False when the file cannot be written
// ("Cannot Savefile" is the message for it); the previous file is untouched.
bool SaveDocumentFile(Document& document, const QString& path, DocumentFileType type,
                      DocumentHost* host = nullptr);
