#pragma once
// Exports of a document for spreadsheets: tab-delimited text and comma-
// separated values, in the user's conventions (decimal separator, short date
// and long time, the list separator between CSV fields, the text encoding;
// a UTF-8 CSV file begins with the byte-order mark). Neither is read back by
// the program, and exporting does not mark the document as saved.
//
//   text: TAB "RH, %RH" TAB "T, °C"        CSV: ;"RH, %RH";"T, °C"
//         <date time> TAB 45,2 TAB 21,37        <date time>;45,2;21,37
//
// A missing reading is "-" in the text file and an empty field in the CSV.
// The header has an empty field above the time column and above a quantity
// without a name, so each heading stands above its data.

class Document;
class DocumentHost;
class QIODevice;

inline constexpr char kCsvFileFilter[] = "MS Excel Comma Separated Values File (*.csv)";
inline constexpr char kTxtFileFilter[] = "Text File (Tab delimited) (*.txt)";

// Write the whole document to a device open for writing; false when the
// device refuses the bytes or the document is closing meanwhile (bExit).
bool txtFormat(Document& document, QIODevice& file, DocumentHost* host = nullptr);
bool csvFormat(Document& document, QIODevice& file, DocumentHost* host = nullptr);
