// Fuzz target: ReadJournal, the reader of the real-time window's recording journal (what is read
// back after a crash, by the program and by tr58 recover), given any bytes as a journal file. A
// journal that reads is a whole document, and it is saved as tr58 recover saves it: as a .t58
// file that the program opens again with the same points.
//
// Header: [0] bit 0: the target seals every whole line after the first with its checksum (as the
// journal's writer does), so that mutations reach the records' fields; otherwise the bytes are
// the file as they are.

#include <QBuffer>

#include "QtFuzz.h"
#include "document/Document.h"
#include "document/T58File.h"
#include "realtime/RecordingJournal.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartQt();
    fuzz::Input in{data, size};
    const bool seal = in.Byte() & 1;
    QByteArray bytes = in.Rest();
    if (seal) {
        QList<QByteArray> lines = bytes.split('\n');
        // The first line is the magic; the last one has no line end (a torn write).
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            const quint16 crc = qChecksum(QByteArrayView(lines.at(i)));
            lines[i] += '\t' + QByteArray::number(crc, 16).rightJustified(4, '0');
        }
        bytes = lines.join('\n');
    }
    const QString path = fuzz::WriteScratchFile(QStringLiteral("journal.t58.part"),
                                                reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                static_cast<size_t>(bytes.size()));
    Document document;
    QString problem;
    int torn = -1;
    const bool read = ReadJournal(path, document, problem, &torn);
    if (!read) {
        Check(!problem.isEmpty());
        return 0;
    }
    Check(torn >= 0);
    const int quantities = document.QuantityCount();
    Check(quantities >= 1 && quantities <= kMaxQuantities);
    Check(document.PointCount() <= kMaxPoints);
    for (qint32 i = 0; i < document.PointCount(); ++i) {
        for (int q = 0; q < quantities; ++q) {
            const PointValue value = document.Value(i, q);
            Check(value.Valid == 0 || value.Valid == 1);
        }
    }
    if (document.PointCount() > 0) {
        (void)document.strGetTime(0);
        (void)document.strGetTime(document.PointCount() - 1);
    }

    QByteArray saved;
    QBuffer out(&saved);
    Check(out.open(QIODevice::WriteOnly));
    Check(t58Format(document, out));
    out.close();
    QBuffer back(&saved);
    Check(back.open(QIODevice::ReadOnly));
    Document reopened;
    Check(t58FormatOpen(reopened, back));
    Check(reopened.QuantityCount() == quantities);
    Check(reopened.PointCount() == document.PointCount());
    return 0;
}
