#pragma once
// The real-time recording's journal: every reading the real-time window
// receives goes to the disk before the next poll, so that a crash, a power cut,
// a pulled cable or a closed laptop lid loses nothing that was received. A
// recording that ends normally (saved as a .t58 file, or closed on purpose)
// removes its journal; one that did not is offered back at the next start, and
// `tr58 recover` turns it into a .t58 file.
//
// The file, format version 1: UTF-8 text, lines ended by LF.
//
//   TR58-JOURNAL 1                          magic and format version (line 1)
//   Q <base> <n> <name 1> <unit 1> ... <crc>   the quantities (once, line 2)
//   M <ivalue> <iunit> <start> <decimals> <title> <notes> <crc>
//                                           the description; again whenever it
//                                           changes, the last one counts
//   <time> <value 1> ... <value n> <crc>    one line per reading
//
// Fields are separated by a TAB (shown as blanks above). Every line after the
// first ends in a TAB and its CRC-16 (ISO 3309, as qChecksum computes it) as
// four lower-case hexadecimal digits, taken over the line before that TAB:
// a line cut short by a crash (no LF) or garbled is recognised and dropped on
// its own, and costs only its reading.
//
// - <base> is a whole second (seconds since 1899-12-30 of the first reading)
//   that reading times count from; <time> is the reading's whole seconds since
//   <base> (e.g. "3600"), or "@" and the exact OLE date when the time is no
//   whole second. Every time reads back to the identical date-time.
// - Values are the shortest text that reads back to the identical single
//   ("21.5", "-0.25", "1013.2"); "-" is a missing reading.
// - <start> is StartTime, exact; <decimals> the quantities' Decimals separated
//   by ","; text fields (names, units, title, notes) with "%", TAB, CR and LF
//   written as "%25", "%09", "%0D", "%0A".
//
// A reading of three quantities at a one-second interval takes about 27 bytes
// ("3600\t21.5\t45.1\t1013.2\t9f3a\n"), so 65000 readings stay below 2 MB.

#include <QFile>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

class Document;

class RecordingJournal {
public:
    // The format version this program writes and reads.
    static constexpr int kFormatVersion = 1;

    RecordingJournal() = default;
    RecordingJournal(const RecordingJournal&) = delete;
    RecordingJournal& operator=(const RecordingJournal&) = delete;
    // Closes the file and keeps it (as Close).
    ~RecordingJournal();

    // Creates the journal at path (fails if it cannot; problem says why) and writes a header
    // with a format version, the document's Title, IntervalValue/IntervalUnit, StartTime,
    // each quantity's Name, Unit and Decimals, then every point the document holds; flushed
    // to the disk (fsync) before it returns. The journal appears complete or not at all. The
    // quantities must be known (the first reply has been read). A journal already at path (a
    // recording never recovered) is not written over: false.
    bool Begin(const QString& path, const Document& document, QString* problem = nullptr);
    // Appends the points [from, document.PointCount()) — one record per point — and flushes
    // them to the disk before returning. False when the write failed. Points before from that
    // a failed append left out are written too, and none is written twice; a changed
    // description (title, notes, interval, decimals) is written before the points.
    bool Append(const Document& document, qint32 from);
    // The recording ended normally and its data is safe elsewhere: closes and removes the file.
    void Finish();
    // Closes the file and keeps it (the program ends without the data being saved).
    void Close();
    bool IsOpen() const { return file_.isOpen(); }
    QString Path() const { return path_; }

    // Takes over a journal left by a recording that did not end normally (for the document
    // restored from it): its lock is taken, so no other program offers it meanwhile; Finish
    // removes it, Close keeps it. False when it is gone (problem says so) or held by a running
    // program (problem empty). Append is refused: the restored recording gets no readings.
    bool Reopen(const QString& path, QString* problem = nullptr);

private:
    bool Fail(QString* problem, const QString& why);
    bool WriteAndSync(const QByteArray& bytes);
    void Release();

    QString path_;
    QFile file_;
    std::unique_ptr<QLockFile> lock_;
    qint64 goodSize_ = 0;     // the file's size after the last append that reached the disk
    qint32 written_ = 0;      // points in the journal
    qint64 base_ = 0;         // the whole second that reading times count from
    QByteArray description_;  // the last description record written
};

// Reads a journal into document: every complete record; a torn last record (cut mid-write)
// is dropped and counted; a journal of an unknown format version, or no journal at all, is
// refused with a clear problem text (never guessed at). The document comes back as a
// stopped real-time recording: bRealTime false, iSaved never, the real-time recording kind
// on its information page, its statistics computed. tornRecords counts every record
// dropped: the torn last one and any other that fails its check.
bool ReadJournal(const QString& path, Document& document, QString& problem,
                 int* tornRecords = nullptr);

// The program's journals: in QStandardPaths::AppDataLocation / "journals"; a new unique path.
QString JournalFolder();
QString NewJournalPath();

// The lock file beside a journal, held while a program records into it or
// holds the document restored from it.
QString JournalLockPath(const QString& journalPath);

// Journals of recordings that did not end normally: not held by a running program (a stale
// lock of a killed program is not held), oldest first.
QStringList UnfinishedJournals();
