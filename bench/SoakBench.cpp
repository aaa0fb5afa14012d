// Soak: the program's core downloads every file of a simulated instrument
// that holds a 70000-line file, saves each as a .t58 document, deletes what
// was downloaded whole, and starts over with a fresh instrument, for as long
// as asked. Every minute the heap in use (mallinfo2), the resident size and
// the open file descriptors of this process are sampled; at the end they are
// printed with the verdict whether they stayed flat. Not part of the tests.
//
//   SoakBench [--minutes M] [--sample-seconds S] [--keep-simulator]
//
// Default 30 minutes, a sample every 60 s. --keep-simulator talks to one
// simulator throughout (after the first cycle only the file cut at 65000
// points is left in it): no process is started per cycle, which tells the
// core's own figures from those of starting processes.
#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "base/MessageCatalogue.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "download/DirEntry.h"
#include "download/DirectoryReader.h"
#include "download/Download.h"
#include "download/FileDeletion.h"
#include "download/RecordedDataFill.h"
#include "link/Link.h"
#include "link/PortControl.h"
#include "link/QtPump.h"

namespace {

// The instrument's memory: the big file (cut at 65000 points, so it stays in
// the instrument), one with missing values, one without date/time ranges.
const QStringList kMemory = {"--file",       "Logg:70000:8:X", "--file",
                             "Lab 1:1000:3", "--file",         "Lager:720:2:N"};

// Growth allowed between the first sample (after the first cycle, when every
// cache is warm) and the last: what one cycle's documents could leave behind
// in the allocator's free lists, far below one leaked 65000-point document.
constexpr double kHeapSlackMb = 2.0;

class CountingPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(box.key));
        ++shown;
        return true;
    }
    int shown = 0;
};

struct Sample {
    double minutes = 0;
    int cycles = 0;
    double heapMb = 0;  // mallinfo2: bytes in use, arena and mmap
    double rssMb = 0;
    int descriptors = 0;
};

Sample TakeSample(double minutes, int cycles) {
    Sample s;
    s.minutes = minutes;
    s.cycles = cycles;
    const struct mallinfo2 info = mallinfo2();
    s.heapMb = static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                s.rssMb = line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    s.descriptors = static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                         .size());
    return s;
}

// A fresh simulated instrument on a free TCP port; its address, or empty.
QString StartSimulator(QProcess& sim) {
    sim.start(QStringLiteral(TR58_BIN_DIR "/sim/tr58sim"),
              QStringList{"--tcp", "0", "--delay", "0"} + kMemory);
    QString address;
    while (address.isEmpty() && sim.waitForReadyRead(5000)) {
        const QByteArray line = sim.readLine().trimmed();
        if (line.startsWith("TCP ")) address = QString::fromLatin1(line.mid(4));
    }
    return address;
}

struct CycleResult {
    bool ok = false;
    int files = 0;
    qint64 points = 0;
    QString problem;
};

// One cycle as "tr58 download --all --delete" runs it: DIR, one PLAY per file
// into a document saved as .t58, then DEL of the files downloaded whole.
CycleResult RunCycle(Link& link, const QString& address, const QDir& folder) {
    CycleResult result;
    LinkState& s = link.State();
    s.LanHosts[8] = {address.section(':', 0, 0), address.section(':', 1).toInt(), 1};
    s.LanSelection = 9;
    s.ConnectionType = Connection::kLan;
    s.ConfiguredPort = 17;
    s.AutoDetect = false;

    QList<DirEntry> entries;
    if (ReadDirectory(link, entries, false) != DirectoryResult::Listed) {
        result.problem = QStringLiteral("DIR failed");
        return result;
    }
    for (DirEntry& entry : entries) entry.Selected = 1;
    DownloadSession::Options options;
    options.deleteAfter = true;
    const auto sink = [&](const DirEntry& entry, int, QString& reply) {
        Document document;
        document.bKapula = true;
        const ReplyFill fill =
            FillDocumentFromReply(document, reply, link.State(), &link.Progress());
        NoteReplyFill(fill, link.State());
        if (fill.failed) return false;
        const qint32 expected = std::min(entry.PointTotal, kMaxPoints);
        if (document.PointCount() != expected) {
            result.problem = QStringLiteral("%1: %2 of %3 points")
                                 .arg(entry.Name)
                                 .arg(document.PointCount())
                                 .arg(expected);
            return false;
        }
        const QString path = folder.filePath(QStringLiteral("soak.t58"));
        if (!SaveDocumentFile(document, path, DocumentFileType::T58)) return false;
        QFile::remove(path);
        ++result.files;
        result.points += document.PointCount();
        return true;
    };
    DownloadSession download(link);
    const DownloadSession::Outcome outcome = download.Run(entries, options, sink, [] {
        return true;  // keep the first 65000 points
    });
    link.Progress().Unload();
    link.EndSequence();
    if (outcome != DownloadSession::Outcome::Done) {
        if (result.problem.isEmpty()) result.problem = QStringLiteral("download failed");
        return result;
    }
    download.KeepIncomplete(entries);
    if (SelectedCount(entries) == 0) {
        link.CloseLink();  // nothing downloaded whole: nothing to delete
        result.ok = true;
        return result;
    }
    const DeleteOutcome deleted = DeleteSelectedFiles(link, entries, true);
    link.Progress().Unload();
    link.EndSequence();
    if (deleted != DeleteOutcome::Deleted) {
        result.problem = QStringLiteral("delete failed");
        return result;
    }
    if (s.OpenPort != 0) link.CloseLink();
    result.ok = true;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double minutes = 30;
    double sampleSeconds = 60;
    bool keepSimulator = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--minutes") && i + 1 < args.size())
            minutes = args.at(++i).toDouble();
        else if (args.at(i) == QLatin1String("--sample-seconds") && i + 1 < args.size())
            sampleSeconds = args.at(++i).toDouble();
        else if (args.at(i) == QLatin1String("--keep-simulator"))
            keepSimulator = true;
        else
            minutes = 0;  // usage below
    }
    if (minutes <= 0 || sampleSeconds <= 0) {
        std::fprintf(stderr,
                     "usage: SoakBench [--minutes M] [--sample-seconds S] [--keep-simulator]\n");
        return 2;
    }

    QTemporaryDir folder;
    QtPump pump;
    PortControl port;
    CountingPresenter presenter;
    Link link(port, pump, presenter);

    std::vector<Sample> samples;
    int cycles = 0;
    int failures = 0;
    qint64 points = 0;
    QElapsedTimer clock;
    clock.start();
    double nextSample = 0;
    std::printf("minute\tcycles\theap MB\tRSS MB\tdescriptors\n");
    QProcess keptSim;
    const QString keptAddress = keepSimulator ? StartSimulator(keptSim) : QString();
    while (clock.elapsed() < minutes * 60000) {
        QProcess sim;
        const QString address = keepSimulator ? keptAddress : StartSimulator(sim);
        if (address.isEmpty()) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 1;
        }
        const CycleResult cycle = RunCycle(link, address, QDir(folder.path()));
        if (!keepSimulator) {
            sim.kill();
            sim.waitForFinished(5000);
        }
        ++cycles;
        points += cycle.points;
        const int files = keepSimulator && cycles > 1 ? 1 : 3;
        if (!cycle.ok || cycle.files != files) {
            ++failures;
            std::fprintf(stderr, "cycle %d: %s (%d files)\n", cycles, qPrintable(cycle.problem),
                         cycle.files);
        }
        // Samples between cycles, when no document is alive: the first after
        // the first cycle, then one per period.
        const double now = clock.elapsed() / 1000.0;
        if (now >= nextSample) {
            samples.push_back(TakeSample(now / 60.0, cycles));
            const Sample& s = samples.back();
            std::printf("%.1f\t%d\t%.3f\t%.1f\t%d\n", s.minutes, s.cycles, s.heapMb, s.rssMb,
                        s.descriptors);
            std::fflush(stdout);
            nextSample = now + sampleSeconds;
        }
    }
    samples.push_back(TakeSample(clock.elapsed() / 60000.0, cycles));
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    std::printf("%.1f\t%d\t%.3f\t%.1f\t%d\n", last.minutes, last.cycles, last.heapMb, last.rssMb,
                last.descriptors);

    double heapMax = 0;
    int fdMax = 0;
    for (const Sample& s : samples) {
        heapMax = std::max(heapMax, s.heapMb);
        fdMax = std::max(fdMax, s.descriptors);
    }
    const bool heapFlat = last.heapMb - first.heapMb <= kHeapSlackMb;
    const bool fdFlat = last.descriptors == first.descriptors && fdMax == first.descriptors;
    std::printf("cycles %d, failed %d, points downloaded %lld, messages %d\n", cycles, failures,
                static_cast<long long>(points), presenter.shown);
    std::printf("heap %s: first %.3f MB, last %.3f MB, max %.3f MB\n", heapFlat ? "flat" : "GROWS",
                first.heapMb, last.heapMb, heapMax);
    std::printf("RSS: first %.1f MB, last %.1f MB\n", first.rssMb, last.rssMb);
    std::printf("descriptors %s: first %d, last %d, max %d\n", fdFlat ? "flat" : "GROW",
                first.descriptors, last.descriptors, fdMax);
    return heapFlat && fdFlat && failures == 0 ? 0 : 1;
}
