#include "document/T58File.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <utility>

#include "base/MessageKeys.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "document/DocumentTexts.h"
#include "document/PointTime.h"
#include "document/Statistics.h"

namespace {

constexpr char kTag[] = "#TR58\t";
// The writer hands its bytes to the device in pieces of about this size.
constexpr qsizetype kFlushSize = 256 * 1024;
// Points between two turns of the user interface.
constexpr qint32 kYieldEvery = 1024;

QString TrimEnd(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace()) --n;
    return text.left(n);
}

// Text for a single line of the file: a CR or LF inside it would end the line
// when the file is read back.
QString OneLine(const QString& text) {
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

// The notes with every line break (CR LF, LF or CR alone) written as CR LF, so
// they read back as the lines they are.
QString NotesLines(const QString& notes) {
    QString text = notes;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

bool Flush(QIODevice& file, QByteArray& out) {
    if (out.isEmpty()) return true;
    const bool written = file.write(out) == out.size();
    out.clear();
    return written;
}

// The file's lines, read in blocks. The program writes CR LF, but a file that
// passed through an editor or a transfer may end some or all of its lines in
// LF alone (or CR alone): each of CR LF, LF and CR ends a line, so no line is
// glued to the next and no point is lost. At the end of the file the bytes
// read so far are the last line; after that, End() is true and every further
// line is empty.
class LineReader {
public:
    explicit LineReader(QIODevice& file) : file_(file) {}

    // The next line, Windows-1252 decoded. An empty line is delivered as the
    // marker "#Null" and turned back into an empty text, so a line that holds
    // "#Null" itself also reads as empty.
    const QString& Next() {
        QByteArray carried;  // the start of a line that runs past the block
        bool split = false;
        for (;;) {
            if (pos_ >= block_.size() && !Fill()) {
                if (!split && atEof_) end_ = true;
                atEof_ = true;
                Decode(carried.constData(), carried.size());
                break;
            }
            const char* data = block_.constData();
            if (afterCr_) {
                // The LF of a CR LF, possibly at the start of the next block.
                afterCr_ = false;
                if (data[pos_] == '\n') {
                    ++pos_;
                    continue;
                }
            }
            const qsizetype size = block_.size();
            qsizetype at = pos_;
            while (at < size && data[at] != '\n' && data[at] != '\r') ++at;
            if (at < size) {
                if (split) {
                    carried.append(data + pos_, at - pos_);
                    Decode(carried.constData(), carried.size());
                } else {
                    // The whole line is in the block read: decoded from there.
                    Decode(data + pos_, at - pos_);
                }
                afterCr_ = data[at] == '\r';
                pos_ = at + 1;
                break;
            }
            carried.append(data + pos_, size - pos_);
            split = true;
            pos_ = size;
        }
        if (line_ == QStringLiteral("#Null")) line_.clear();
        return line_;
    }
    bool End() const { return end_; }
    bool Failed() const { return failed_; }

private:
    bool Fill() {
        if (file_.atEnd()) return false;
        block_ = file_.read(64 * 1024);
        pos_ = 0;
        if (block_.isEmpty()) {
            failed_ = file_.bytesAvailable() > 0;
            return false;
        }
        return true;
    }
    void Decode(const char* bytes, qsizetype n) {
        // Data lines are plain ASCII: widened in place into the reused text.
        const auto* in = reinterpret_cast<const unsigned char*>(bytes);
        bool ascii = true;
        for (qsizetype i = 0; i < n && ascii; ++i) ascii = in[i] < 0x80;
        if (!ascii) {
            line_ = DecodeWindows1252(QByteArray(bytes, n));
            return;
        }
        line_.resize(n);
        char16_t* out = reinterpret_cast<char16_t*>(line_.data());
        for (qsizetype i = 0; i < n; ++i) out[i] = in[i];
    }

    QIODevice& file_;
    QByteArray block_;
    qsizetype pos_ = 0;
    bool afterCr_ = false;  // the last line ended at a CR: an LF next belongs to it
    bool atEof_ = false;    // the last line has been delivered
    bool end_ = false;
    bool failed_ = false;
    QString line_;
};

// The closing line, "#TR58" TAB "EndDataFile" (blanks after it are allowed).
bool IsEndLine(const QString& line) {
    static const QString kEndLine = QStringLiteral("#TR58\tEndDataFile");
    return line.startsWith(kEndLine) && line.mid(kEndLine.size()).trimmed().isEmpty();
}

// A line after the end line that holds nothing: blanks, or the CTRL-Z that
// some transfer programs append.
bool IsBlankLine(const QString& line) {
    for (const QChar c : line)
        if (!c.isSpace() && c != QChar(0x1A)) return false;
    return true;
}

// The n-th (0-based) TAB-separated field, up to the next TAB or the line end.
QString FieldAt(const QString& line, int n) {
    qsizetype from = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype tab = line.indexOf(u'\t', from);
        if (tab < 0) return QString();
        from = tab + 1;
    }
    const qsizetype tab = line.indexOf(u'\t', from);
    return tab < 0 ? line.mid(from) : line.mid(from, tab - from);
}

bool Reject(Document& document) {
    document.bCommunicate = false;
    return false;
}

}  // namespace

bool t58KeepsTexts(const Document& document) {
    return InstrumentTextHolds(document.Title) && InstrumentTextHolds(document.Notes);
}

bool t58Format(Document& document, QIODevice& file, DocumentHost* host) {
    document.bCommunicate = true;
    QByteArray out;
    out.reserve(kFlushSize + 4096);
    const auto header = [&out](const QString& text) {
        out += EncodeInstrumentText(text);
        out += "\r\n";
    };
    out += kTag;
    out += "BeginDataFile\r\n";
    out += kTag;
    out += "FileVersion\t1.0\r\n";
    header(QStringLiteral("#TR58\tTitle\t") + OneLine(document.Title));
    // Interval: unit code in two decimal digits, value in two hex digits. A
    // manual recording (value 0 or less) is written as value 00; a value
    // above 255 keeps its low byte, so the field stays four characters.
    const int unit = document.IntervalUnit;
    const int value = document.IntervalValue < 1 ? 0 : (document.IntervalValue & 0xFF);
    header(QStringLiteral("#TR58\tInterval\t") +
           QStringLiteral("%1").arg(unit, 2, 10, QLatin1Char('0')) +
           QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper());
    out += kTag;
    out += "BeginNotes\r\n";
    header(NotesLines(document.Notes));
    out += kTag;
    out += "EndNotes\r\n";
    const int quantities = document.QuantityCount();
    for (int q = 0; q < quantities; ++q) {
        out += '\t';
        out += EncodeInstrumentText(TrimEnd(OneLine(document.Quantity(q).Name)));
    }
    out += "\r\n";
    for (int q = 0; q < quantities; ++q) {
        out += '\t';
        out += EncodeInstrumentText(TrimEnd(OneLine(document.Quantity(q).Unit)));
    }
    out += "\r\n";

    QList<int> decimals;
    for (int q = 0; q < quantities; ++q) decimals << document.Quantity(q).Decimals;
    const qint32 count = document.PointCount();
    // What the file holds is fixed from here on. A change made while the
    // points are written (events run now and then) marks the document changed
    // again, so it is not taken for saved; a write that fails leaves it as it
    // was, or changed.
    const Saved::State savedBefore = std::exchange(document.iSaved, Saved::kUnchanged);
    const auto fail = [&] {
        if (document.iSaved == Saved::kUnchanged) document.iSaved = savedBefore;
        return Reject(document);
    };
    T58TimeWriter times;
    for (qint32 i = 0; i < count; ++i) {
        if (host && i % kYieldEvery == kYieldEvery - 1) {
            host->Yield();
            if (document.bExit) return fail();
        }
        // One line at a time in a buffer of its own, then onto the output.
        char line[kMaxQuantities * 421 + 32];
        char* end = times.Write(line, document.PointTime(i));
        for (int q = 0; q < quantities; ++q) {
            *end++ = '\t';
            const PointValue point = document.Value(i, q);
            if (point.Valid)
                end = WritePointDecimal(end, point.Value, decimals.at(q));
            else
                *end++ = '-';
        }
        *end++ = '\r';
        *end++ = '\n';
        out.append(line, end - line);
        if (out.size() >= kFlushSize && !Flush(file, out)) return fail();
    }
    out += kTag;
    out += "EndDataFile\r\n";
    if (!Flush(file, out)) return fail();
    document.bCommunicate = false;
    return true;
}

bool t58FormatOpen(Document& document, QIODevice& file, DocumentHost* host) {
    document.bInvalidFile = true;
    document.bCommunicate = true;
    LineReader reader(file);
    reader.Next();  // BeginDataFile
    reader.Next();  // FileVersion: not checked
    document.Title = FieldAt(reader.Next(), 2);
    const QString interval = reader.Next().right(4);
    document.IntervalUnit = static_cast<qint16>(LeadingDecimal(interval.left(2)));
    document.IntervalValue = HexToInt(interval.mid(2, 2));
    reader.Next();  // BeginNotes
    document.Notes.clear();

    // The notes end at the EndNotes line. Other lines that begin with the tag
    // are notes text: the user may type one, and ending the notes there would
    // make the saved file unreadable.
    QStringList notes;
    for (;;) {
        const QString& line = reader.Next();
        if (reader.End()) return Reject(document);
        if (line.startsWith(QStringLiteral("#TR58\tEndNotes"))) break;
        notes << line;
    }
    document.Notes = notes.join(QStringLiteral("\r\n"));

    const QString names = reader.Next();
    const int quantities = static_cast<int>(names.count(u'\t'));
    if (quantities < 1 || quantities > kMaxQuantities) return Reject(document);
    document.SetQuantityCount(quantities);
    document.Property(names);
    const QString units = reader.Next();
    if (!units.startsWith(u'\t')) return Reject(document);
    document.Unit(units);

    document.ClearPoints();
    for (qint32 i = 0;; ++i) {
        const QString& line = reader.Next();
        if (line.startsWith(u'#') && IsEndLine(line)) break;
        // A file that stops before its end line may have lost points: damaged.
        if (line.count(u'\t') != quantities || reader.End()) return Reject(document);
        if (!document.MeasToStruct(line)) return Reject(document);
        if (host && i % kYieldEvery == kYieldEvery - 1) {
            host->Yield();
            if (document.bExit) return Reject(document);
        }
    }
    // Anything but blank lines after the end line may be points this document
    // would not show: the file is refused rather than opened without them.
    while (!reader.End()) {
        if (!IsBlankLine(reader.Next())) return Reject(document);
    }
    if (reader.Failed()) return Reject(document);
    // A file without points (a download of an empty file, saved) is still the
    // user's document: its title, notes and quantities open as written.
    document.bCommunicate = false;

    document.HeaderPending = false;
    UpdateFilledInformation(document, false);
    ComputeStatistics(document, host);
    document.iSaved = Saved::kUnchanged;
    document.bInvalidFile = false;
    return true;
}

QString DocumentOpenProblem(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return MessageKeys::kFileIsFolder;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return info.exists() ? MessageKeys::kFileUnreadable : MessageKeys::kFileError;
    // An empty file is no document at all.
    if (file.size() == 0) return MessageKeys::kInvalidFile;
    return QString();
}

bool t58FormatOpen(Document& document, const QString& path, DocumentHost* host,
                   QString* messageKey) {
    const QString problem = DocumentOpenProblem(path);
    QFile file(path);
    if (!problem.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        document.bInvalidFile = problem == MessageKeys::kInvalidFile;
        if (messageKey) *messageKey = problem.isEmpty() ? MessageKeys::kFileError : problem;
        return false;
    }
    if (!t58FormatOpen(document, static_cast<QIODevice&>(file), host)) {
        document.bInvalidFile = true;
        if (messageKey) *messageKey = MessageKeys::kInvalidFile;
        return false;
    }
    document.FilePath = path;
    return true;
}
