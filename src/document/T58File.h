#pragma once
// The program's own file for a document, ".t58": Windows-1252 text with CR LF
// line ends, a header of lines tagged "#TR58" TAB, the notes, a names line and
// a units line (each beginning with a TAB above the time column), one line per
// point ("yy-mm-dd hh:mm:ss" TAB value ...; "." as decimal mark whatever the
// user's locale, "-" for a missing reading) and the closing tag line:
//
//   #TR58 BeginDataFile / FileVersion 1.0 / Title <title> / Interval <uuvv>
//   #TR58 BeginNotes, the notes, #TR58 EndNotes
//   TAB names, TAB units, data lines, #TR58 EndDataFile
//
// The interval field is four characters: the unit code as two decimal digits
// and the interval value as two upper-case hexadecimal digits ("020A": 10 s).

#include <QString>

class Document;
class DocumentHost;
class QIODevice;

// File type of the file dialogs.
inline constexpr char kT58FileFilter[] = "TR58 Recorded Data File (*.t58)";

// Writes the whole document to a device open for writing. Marks it saved (iSaved unchanged since)
// and returns true; false when the device refuses the bytes or the document is closing meanwhile
// (bExit).
bool t58Format(Document& document, QIODevice& file, DocumentHost* host = nullptr);
// True when the file keeps the document's title and notes as they are: the format is
// Windows-1252, and a character it cannot hold (a "Ł", a "≥") is written as '?'.
bool t58KeepsTexts(const Document& document);

// Why the file at path cannot be opened as a document, as the key of the
// message that tells the user: "File Error" (it is not there), "File Is
// Folder", "File Unreadable" (there, but it cannot be read: no permission,
// locked), "Invalid File" (empty); an empty key when it can be read.
QString DocumentOpenProblem(const QString& path);

// Reads a .t58 file into an empty document. Lines may end in CR LF, LF or CR
// (an editor may have changed some); a file with no data line is a document
// without points. False when the file cannot be opened (messageKey names why)
// or is rejected ("Invalid File"; the document's bInvalidFile stays set): also
// when it stops before its end line or holds more than blank lines after it,
// as points could be missing. On success the statistics and the information
// page are filled, iSaved is Saved::kUnchanged and FilePath is the path.
bool t58FormatOpen(Document& document, const QString& path, DocumentHost* host = nullptr,
                   QString* messageKey = nullptr);
// The same from a device open for reading.
bool t58FormatOpen(Document& document, QIODevice& file, DocumentHost* host = nullptr);
