#include "realtime/RecordingJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentTexts.h"
#include "document/PointTime.h"
#include "document/Statistics.h"
#include "realtime/DiskPlatform.h"

namespace {

constexpr char kMagic[] = "TR58-JOURNAL";
constexpr qint64 kSecondsPerDay = 86400;
// A journal is never larger than this (65000 readings of 8 quantities with
// room to spare): a bigger file is no journal of ours and is not read whole.
constexpr qint64 kLargestJournal = 256LL * 1024 * 1024;

// The OLE date of a whole second since 1899-12-30, formed as the program forms
// a reading's time (whole days plus the milliseconds of the day), so that it
// is the identical double.
double OleOfSeconds(qint64 seconds) {
    const qint64 days = seconds / kSecondsPerDay;
    const qint64 msecs = (seconds % kSecondsPerDay) * 1000;
    return static_cast<double>(days) + static_cast<double>(msecs) / 86400000.0;
}

// The whole second of an OLE date, when the date is exactly that second.
std::optional<qint64> WholeSecond(double oleDate) {
    if (!std::isfinite(oleDate) || oleDate < 0.0 || oleDate > 1e7) return std::nullopt;
    const qint64 seconds = std::llround(oleDate * kSecondsPerDay);
    if (OleOfSeconds(seconds) != oleDate) return std::nullopt;
    return seconds;
}

qint64 BaseSecond(const Document& document) {
    const double first = document.PointCount() > 0 ? document.PointTime(0) : document.StartTime;
    if (!std::isfinite(first) || first < 0.0 || first > 1e7) return 0;
    return std::llround(first * kSecondsPerDay);
}

void AppendFloat(QByteArray& out, float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr - text);
}

void AppendDouble(QByteArray& out, double value) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr - text);
}

template <typename T>
std::optional<T> ReadNumber(QByteArrayView text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.isEmpty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

// Text in a field: the characters that end a field or a line, and the escape
// itself, written as %XX.
QByteArray Escaped(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case '\t':
                out += "%09";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString Unescaped(QByteArrayView field) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field.toByteArray()));
}

// A record: its fields, a TAB, the CRC of what precedes the TAB, LF.
void EndRecord(QByteArray& out, qsizetype recordStart) {
    const quint16 crc =
        qChecksum(QByteArrayView(out.constData() + recordStart, out.size() - recordStart));
    static const char kHex[] = "0123456789abcdef";
    const char tail[] = {'\t',
                         kHex[(crc >> 12) & 0xF],
                         kHex[(crc >> 8) & 0xF],
                         kHex[(crc >> 4) & 0xF],
                         kHex[crc & 0xF],
                         '\n'};
    out.append(tail, sizeof tail);
}

QByteArray QuantitiesRecord(const Document& document, qint64 base) {
    QByteArray out =
        "Q\t" + QByteArray::number(base) + '\t' + QByteArray::number(document.QuantityCount());
    for (int q = 0; q < document.QuantityCount(); ++q)
        out +=
            '\t' + Escaped(document.Quantity(q).Name) + '\t' + Escaped(document.Quantity(q).Unit);
    EndRecord(out, 0);
    return out;
}

QByteArray DescriptionRecord(const Document& document) {
    QByteArray out = "M\t" + QByteArray::number(document.IntervalValue) + '\t' +
                     QByteArray::number(document.IntervalUnit) + '\t';
    AppendDouble(out, document.StartTime);
    out += '\t';
    for (int q = 0; q < document.QuantityCount(); ++q) {
        if (q > 0) out += ',';
        out += QByteArray::number(document.Quantity(q).Decimals);
    }
    out += '\t' + Escaped(document.Title) + '\t' + Escaped(document.Notes);
    EndRecord(out, 0);
    return out;
}

void AppendPointRecord(QByteArray& out, const Document& document, qint32 i, qint64 base) {
    const qsizetype start = out.size();
    const double time = document.PointTime(i);
    if (const std::optional<qint64> second = WholeSecond(time)) {
        out += QByteArray::number(*second - base);
    } else {
        out += '@';
        AppendDouble(out, time);
    }
    for (int q = 0; q < document.QuantityCount(); ++q) {
        out += '\t';
        const PointValue value = document.Value(i, q);
        if (value.Valid)
            AppendFloat(out, value.Value);
        else
            out += '-';
    }
    EndRecord(out, start);
}

// The fields of a record whose CRC is right; nothing for a damaged one.
std::optional<QList<QByteArrayView>> CheckedFields(QByteArrayView line) {
    if (line.size() < 6 || line.at(line.size() - 5) != '\t') return std::nullopt;
    const QByteArrayView body = line.first(line.size() - 5);
    bool ok = false;
    const uint crc = line.last(4).toByteArray().toUInt(&ok, 16);
    if (!ok || crc != qChecksum(body)) return std::nullopt;
    QList<QByteArrayView> fields;
    qsizetype from = 0;
    for (;;) {
        const qsizetype tab = body.indexOf('\t', from);
        if (tab < 0) {
            fields << body.sliced(from);
            break;
        }
        fields << body.sliced(from, tab - from);
        from = tab + 1;
    }
    return fields;
}

QString Problem(Str::Id id) {
    return StringTable::Text(id);
}

}  // namespace

// ---------------------------------------------------------------------------
// Writing

RecordingJournal::~RecordingJournal() {
    Close();
}

bool RecordingJournal::Fail(QString* problem, const QString& why) {
    if (problem) *problem = why;
    file_.close();
    Release();
    path_.clear();
    return false;
}

void RecordingJournal::Release() {
    if (lock_) lock_->unlock();
    lock_.reset();
}

bool RecordingJournal::Begin(const QString& path, const Document& document, QString* problem) {
    Close();
    path_ = QFileInfo(path).absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(path_);
    const QString cannotWrite = StringTable::Text(Str::kJournalCannotWrite);
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) return Fail(problem, cannotWrite.arg(shown));
    lock_ = std::make_unique<QLockFile>(JournalLockPath(path_));
    // A recording lasts days: only a lock whose program is gone is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return Fail(problem, QFileInfo::exists(path_)
                                 ? StringTable::Text(Str::kJournalExists).arg(shown)
                                 : cannotWrite.arg(shown));
    }
    // The readings of an earlier recording that was never recovered are not
    // written over.
    if (QFileInfo::exists(path_))
        return Fail(problem, StringTable::Text(Str::kJournalExists).arg(shown));

    const qint64 base = BaseSecond(document);
    QByteArray out = kMagic + QByteArray(" ") + QByteArray::number(kFormatVersion) + '\n';
    out += QuantitiesRecord(document, base);
    const QByteArray description = DescriptionRecord(document);
    out += description;
    const qint32 count = document.PointCount();
    for (qint32 i = 0; i < count; ++i) AppendPointRecord(out, document, i, base);

    // Written beside it and renamed once on the disk: the journal is there
    // whole, header and all, or not at all.
    const QString fresh = path_ + QStringLiteral(".new");
    QFile::remove(fresh);
    QFile first(fresh);
    const auto systemText = [&](const QFile& file) {
        return cannotWrite.arg(shown + QStringLiteral("\n") + file.errorString());
    };
    if (!first.open(QIODevice::WriteOnly) || first.write(out) != out.size() || !first.flush() ||
        !DiskPlatform::SyncFile(first.handle())) {
        const QString why = systemText(first);
        first.close();
        QFile::remove(fresh);
        return Fail(problem, why);
    }
    first.close();
    if (!QFile::rename(fresh, path_)) {
        QFile::remove(fresh);
        return Fail(problem, cannotWrite.arg(shown));
    }
    DiskPlatform::SyncFolder(folder);
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
        return Fail(problem, systemText(file_));
    goodSize_ = file_.size();
    written_ = count;
    base_ = base;
    description_ = description;
    return true;
}

bool RecordingJournal::WriteAndSync(const QByteArray& bytes) {
    // A failed append may have left part of a record: it goes before the next.
    if (file_.size() != goodSize_ && !file_.resize(goodSize_)) return false;
    if (file_.write(bytes) != bytes.size() || !file_.flush()) return false;
    if (!DiskPlatform::SyncFile(file_.handle())) return false;
    goodSize_ += bytes.size();
    return true;
}

bool RecordingJournal::Append(const Document& document, qint32 from) {
    if (!IsOpen()) return false;
    Q_UNUSED(from);  // the journal knows which points it holds: none twice, none left out
    QByteArray out;
    const QByteArray description = DescriptionRecord(document);
    if (description != description_) out += description;
    const qint32 count = document.PointCount();
    for (qint32 i = written_; i < count; ++i) AppendPointRecord(out, document, i, base_);
    if (out.isEmpty()) return true;
    if (!WriteAndSync(out)) return false;
    written_ = std::max(written_, count);
    description_ = description;
    return true;
}

void RecordingJournal::Finish() {
    file_.close();
    if (!path_.isEmpty()) QFile::remove(path_);
    Release();
    path_.clear();
}

void RecordingJournal::Close() {
    file_.close();
    Release();
    path_.clear();
}

bool RecordingJournal::Reopen(const QString& path, QString* problem) {
    Close();
    path_ = QFileInfo(path).absoluteFilePath();
    lock_ = std::make_unique<QLockFile>(JournalLockPath(path_));
    lock_->setStaleLockTime(0);
    // Held by a running program: that one shows it (no problem to tell).
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return Fail(problem, QString());
    }
    if (!QFileInfo(path_).isFile()) return Fail(problem, Problem(Str::kJournalMissing));
    return true;
}

// ---------------------------------------------------------------------------
// Reading

bool ReadJournal(const QString& path, Document& document, QString& problem, int* tornRecords) {
    if (tornRecords) *tornRecords = 0;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        problem = Problem(Str::kJournalMissing);
        return false;
    }
    // At most kLargestJournal bytes, and no room asked for beyond what the file holds (a read
    // of the whole limit would reserve it all, for a journal of a few lines).
    const QByteArray bytes = file.read(std::clamp<qint64>(file.size(), 0, kLargestJournal));
    file.close();

    // Line 1: the magic and the format version, checked before anything else.
    qsizetype at = bytes.indexOf('\n');
    const QByteArrayView first =
        QByteArrayView(bytes).first(at < 0 ? std::min<qsizetype>(bytes.size(), 64) : at);
    const QByteArray magic = QByteArray(kMagic) + ' ';
    if (!first.startsWith(magic) || at < 0) {
        problem = Problem(Str::kJournalNotAJournal);
        return false;
    }
    const QByteArrayView version = first.sliced(magic.size());
    if (version != QByteArray::number(RecordingJournal::kFormatVersion)) {
        problem = StringTable::Text(Str::kJournalUnknownVersion)
                      .arg(QString::fromLatin1(
                          version.first(std::min<qsizetype>(version.size(), 16)).toByteArray()));
        return false;
    }

    int dropped = 0;
    bool haveQuantities = false;
    int quantities = 0;
    qint64 base = 0;
    QStringList names;
    QStringList units;
    std::optional<QList<QByteArrayView>> description;
    QList<int> firstDecimals;  // when no description survived: from the first readings
    PointArrays points;

    for (qsizetype from = at + 1; from < bytes.size();) {
        const qsizetype end = bytes.indexOf('\n', from);
        if (end < 0) {
            // Cut short by the crash: the write never finished.
            ++dropped;
            break;
        }
        const QByteArrayView line = QByteArrayView(bytes).sliced(from, end - from);
        from = end + 1;
        const std::optional<QList<QByteArrayView>> fields = CheckedFields(line);
        if (!haveQuantities) {
            // The quantities come first; without them no reading can be read.
            if (!fields || fields->first() != "Q" || fields->size() < 3) break;
            const std::optional<qint64> b = ReadNumber<qint64>(fields->at(1));
            const std::optional<int> n = ReadNumber<int>(fields->at(2));
            if (!b || !n || *n < 1 || *n > kMaxQuantities || fields->size() != 3 + 2 * *n) break;
            base = *b;
            quantities = *n;
            for (int q = 0; q < quantities; ++q) {
                names << Unescaped(fields->at(3 + 2 * q));
                units << Unescaped(fields->at(4 + 2 * q));
            }
            firstDecimals = QList<int>(quantities, -1);
            haveQuantities = true;
            continue;
        }
        if (!fields) {
            ++dropped;
            continue;
        }
        if (fields->first() == "M") {
            if (fields->size() == 7)
                description = fields;
            else
                ++dropped;
            continue;
        }
        if (fields->size() != quantities + 1 || points.Times.size() >= size_t(kMaxPoints)) {
            ++dropped;
            continue;
        }
        const QByteArrayView timeField = fields->first();
        std::optional<double> time;
        if (timeField.startsWith('@')) {
            time = ReadNumber<double>(timeField.sliced(1));
        } else if (const std::optional<qint64> offset = ReadNumber<qint64>(timeField)) {
            qint64 seconds = 0;
            if (!qAddOverflow(base, *offset, &seconds)) time = OleOfSeconds(seconds);
        }
        // Only a time a time stamp can give: a damaged record's could be any number.
        bool good = time.has_value() && IsStampTime(*time);
        std::vector<float> values(quantities, 0.0f);
        std::vector<quint8> valid(quantities, 0);
        for (int q = 0; good && q < quantities; ++q) {
            const QByteArrayView field = fields->at(q + 1);
            if (field == "-") continue;
            const std::optional<float> value = ReadNumber<float>(field);
            good = value.has_value();
            if (!good) break;
            values[q] = *value;
            valid[q] = 1;
            if (firstDecimals[q] < 0) {
                const qsizetype dot = field.indexOf('.');
                firstDecimals[q] = dot < 0 ? 0 : static_cast<int>(field.size() - dot - 1);
            }
        }
        if (!good) {
            ++dropped;
            continue;
        }
        points.Times.push_back(*time);
        points.Values.insert(points.Values.end(), values.begin(), values.end());
        points.Valid.insert(points.Valid.end(), valid.begin(), valid.end());
    }
    if (!haveQuantities) {
        problem = Problem(Str::kJournalNotAJournal);
        return false;
    }

    document.SetQuantityCount(quantities);
    for (int q = 0; q < quantities; ++q) {
        // As a name or unit from the instrument or a saved file is: cleaned, within its length,
        // and in one field. The writer escapes any character, so a journal not of this program's
        // making could give a TAB, which would split the columns of the document saved from it.
        document.Quantity(q).Name = QuantityNameText(QString(names.at(q)).replace(u'\t', u' '));
        document.Quantity(q).Unit = QuantityUnitText(QString(units.at(q)).replace(u'\t', u' '));
        document.Quantity(q).Decimals = static_cast<qint16>(firstDecimals.at(q));
    }
    document.IntervalValue = 0;
    document.IntervalUnit = 0;
    if (description) {
        const QList<QByteArrayView>& d = *description;
        document.IntervalValue = ReadNumber<qint32>(d.at(1)).value_or(0);
        document.IntervalUnit = ReadNumber<qint16>(d.at(2)).value_or(0);
        const double start = ReadNumber<double>(d.at(3)).value_or(0.0);
        document.StartTime = IsStampTime(start) ? start : 0.0;
        const QList<QByteArray> decimals = d.at(4).toByteArray().split(',');
        for (int q = 0; q < quantities && q < decimals.size(); ++q)
            document.Quantity(q).Decimals = ReadNumber<qint16>(decimals.at(q)).value_or(-1);
        document.Title = Unescaped(d.at(5));
        document.Notes = Unescaped(d.at(6));
    }
    document.NotifyQuantitiesChanged();
    document.AppendPoints(std::move(points));

    // A stopped real-time recording that was never saved.
    document.bRealTime = false;
    document.bKapula = false;
    document.HeaderPending = false;
    document.FilePath.clear();
    document.Info.Caption = StringTable::Text(Str::kUntitled);
    UpdateFilledInformation(document, true);
    document.SetStopTime();
    ComputeStatistics(document);
    document.iSaved = Saved::kNever;
    if (tornRecords) *tornRecords = dropped;
    return true;
}

// ---------------------------------------------------------------------------
// The program's journals

QString JournalFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("journals"));
}

QString JournalLockPath(const QString& journalPath) {
    return journalPath + QStringLiteral(".lock");
}

QString NewJournalPath() {
    const QDir folder(JournalFolder());
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? QStringLiteral("realtime-%1.t58.part").arg(stamp)
                                    : QStringLiteral("realtime-%1-%2.t58.part").arg(stamp).arg(n);
        const QString path = folder.filePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo::exists(JournalLockPath(path))) return path;
    }
}

QStringList UnfinishedJournals() {
    const QDir folder(JournalFolder());
    QStringList journals;
    const QFileInfoList entries = folder.entryInfoList({QStringLiteral("*.t58.part")}, QDir::Files,
                                                       QDir::Time | QDir::Reversed);
    for (const QFileInfo& entry : entries) {
        const QString path = entry.absoluteFilePath();
        // Held by a running program (it records into it, or shows the
        // document restored from it): not ours to offer. A lock whose
        // program is gone is stale and is taken.
        QLockFile probe(JournalLockPath(path));
        probe.setStaleLockTime(0);
        if (!probe.tryLock(0)) continue;
        probe.unlock();
        journals << path;
    }
    return journals;
}
