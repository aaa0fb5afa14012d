// Documents: parsing a PLAY reply of 65000 lines of 8 quantities into a
// document, opening and saving its .t58 file, and the document's own heap.
// Reference: pandas (read_csv / to_csv with sep="\t") on the same bytes,
// measured in the same run by bench/documents_pandas.py; for the parse also
// the practical floor, a plain split and from_chars of the same bytes.
#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/T58File.h"
#include "download/RecordedDataFill.h"
#include "link/LinkState.h"
#include "sim/Instrument.h"

namespace {

// Best wall time of rounds runs, in seconds.
double Best(int rounds, const std::function<void()>& action) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

bool ParseReply(const QByteArray& bytes, Document& document) {
    LinkState state;
    document.bKapula = true;
    return !FillDocumentFromReply(document, DecodeInstrumentBytes(bytes), state).failed;
}

// The practical floor of reading the reply: split it into lines and fields and
// convert every reading with std::from_chars into a float array, nothing more
// (no time stamps, no checks, no document). A missing reading becomes NaN.
std::vector<float> FloorParse(const QByteArray& bytes) {
    std::vector<float> values;
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    for (int headerLines = 3; p < end;) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!eol) break;
        const char* lineEnd = eol > p && eol[-1] == '\r' ? eol - 1 : eol;
        const char* field =
            headerLines > 0 ? nullptr : static_cast<const char*>(std::memchr(p, '\t', lineEnd - p));
        if (headerLines > 0) --headerLines;
        while (field && field < lineEnd) {
            ++field;  // past the TAB before the reading
            const char* tab = static_cast<const char*>(std::memchr(field, '\t', lineEnd - field));
            if (!tab) tab = lineEnd;
            float value = std::numeric_limits<float>::quiet_NaN();
            std::from_chars(field, tab, value);
            values.push_back(value);
            field = tab;
        }
        p = eol + 1;
    }
    return values;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void Figure(const char* name, double ours, double reference, const char* referenceName,
            double goal) {
    const double ratio = reference / ours;
    std::printf("%-34s %8.1f ms   %-38s %8.1f ms   %5.1fx faster (goal >= %.0fx)%s\n", name,
                ours * 1e3, referenceName, reference * 1e3, ratio, goal,
                ratio >= goal ? "" : "  ** below goal **");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    // --no-reference: the parse and its floor only, for profiling.
    const bool reference = !(argc > 2 && QByteArray(argv[2]) == "--no-reference");
    UserLocale::Init(QLocale::c());

    SimFile file;
    QString error;
    if (!ParseSimFile(QStringLiteral("Bench:65000:8:X"), 0, file, error)) return 1;
    const Instrument instrument({file});
    const QByteArray reply = instrument.PlayReply(0);

    QTemporaryDir dir;
    const QString replyPath = dir.filePath("reply.txt");
    const QString t58Path = dir.filePath("bench.t58");
    const QString savedPath = dir.filePath("saved.t58");
    if (!WriteFile(replyPath, reply)) return 1;

    // Parse: bytes of the reply to a filled document (decoding, the parser,
    // the statistics and the information texts).
    const double parse = Best(rounds, [&] {
        Document document;
        if (!ParseReply(reply, document) || document.PointCount() != 65000) std::abort();
    });

    // The floor: the same bytes split and converted, nothing more.
    size_t floorValues = 0;
    const double floor = Best(rounds, [&] { floorValues = FloorParse(reply).size(); });
    if (floorValues != 65000u * 8u) return 1;
    const auto printFloor = [&] {
        std::printf("%-34s %8.1f ms   %-38s %8.1f ms   floor ratio (goal <= 1.5x) %.2fx\n",
                    "parse PLAY reply into a document", parse * 1e3,
                    "floor: split + from_chars to floats", floor * 1e3, parse / floor);
    };
    if (!reference) {
        printFloor();
        return 0;
    }

    // Memory: the document's own heap once the reply is parsed and let go.
    malloc_trim(0);
    const size_t before = HeapInUse();
    auto measured = std::make_unique<Document>();
    ParseReply(reply, *measured);
    malloc_trim(0);
    const size_t documentHeap = HeapInUse() - before;
    const size_t pointBytes = measured->PointStorageBytes();

    if (!SaveDocumentFile(*measured, t58Path, DocumentFileType::T58)) return 1;
    const qint64 t58Size = QFileInfo(t58Path).size();
    measured.reset();

    // Open and save: the .t58 file into a new document, and that document
    // saved again (through QSaveFile) to another file.
    double open = 1e9;
    double save = 1e9;
    for (int i = 0; i < rounds; ++i) {
        Document document;
        QElapsedTimer timer;
        timer.start();
        if (!t58FormatOpen(document, t58Path)) std::abort();
        open = std::min(open, timer.nsecsElapsed() / 1e9);
        timer.restart();
        if (!SaveDocumentFile(document, savedPath, DocumentFileType::T58)) std::abort();
        save = std::min(save, timer.nsecsElapsed() / 1e9);
    }

    QProcess pandas;
    pandas.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(TR58_SOURCE_DIR "/bench/documents_pandas.py"), replyPath, t58Path,
                  dir.path(), QString::number(rounds)});
    if (!pandas.waitForFinished(600000) || pandas.exitCode() != 0) {
        std::fprintf(stderr, "pandas failed: %s\n", pandas.readAllStandardError().constData());
        return 1;
    }
    double pandasParse = 0, pandasRead = 0, pandasWrite = 0;
    for (const QByteArray& line : pandas.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() < 2) continue;
        const double seconds = words.at(1).toDouble();
        if (words.at(0) == "parse") pandasParse = seconds;
        if (words.at(0) == "read") pandasRead = seconds;
        if (words.at(0) == "write") pandasWrite = seconds;
    }

    std::printf("65000 lines of 8 quantities: reply %lld bytes, .t58 file %lld bytes, best of %d\n",
                static_cast<long long>(reply.size()), static_cast<long long>(t58Size), rounds);
    Figure("parse PLAY reply into a document", parse, pandasParse,
           "pandas read_csv(sep=\"\\t\") of the reply", 8);
    printFloor();
    Figure("open .t58 file", open, pandasRead, "pandas read_csv(sep=\"\\t\") of the file", 1);
    Figure("save .t58 file (QSaveFile)", save, pandasWrite, "pandas to_csv(sep=\"\\t\")", 1);
    Figure("open and save .t58 file", open + save, pandasRead + pandasWrite,
           "pandas read_csv + to_csv", 3);
    std::printf("%-34s %8.2f MB   %-38s %8.2f MB   %5.2f of the goal\n",
                "document heap (65000 x 8)", documentHeap / 1048576.0, "goal", 8.0,
                documentHeap / (8.0 * 1048576.0));
    std::printf("%-34s %8.2f MB\n", "  of it the point arrays", pointBytes / 1048576.0);
    return 0;
}
