#include "download/DirEntry.h"

#include <algorithm>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/DocumentRecord.h"
#include "download/TimeStamp.h"

namespace {

// Compares two entries on a column's key: negative, zero, positive.
int Compare(const DirEntry& a, const DirEntry& b, DirColumn column) {
    switch (column) {
        case DirColumn::Name:
            return QString::compare(a.Name, b.Name, Qt::CaseSensitive);
        case DirColumn::FirstPoint:
            return a.FirstPointTime < b.FirstPointTime ? -1 : (b.FirstPointTime < a.FirstPointTime);
        case DirColumn::Points:
            return a.PointTotal < b.PointTotal ? -1 : a.PointTotal > b.PointTotal;
        case DirColumn::Status:
            return QString::compare(a.Status, b.Status, Qt::CaseSensitive);
        case DirColumn::Index:
            return a.Index < b.Index ? -1 : a.Index > b.Index;
    }
    return 0;
}

}  // namespace

namespace {

// A count field of the directory: digits, blanks around them allowed.
bool IsCount(const QString& text) {
    bool ok = false;
    return text.trimmed().toInt(&ok) >= 0 && ok;
}

// name, first point, points, (unused), status [, second count]: a line of any
// other shape ("OK", "ERR", a late reply to another command) is no file.
bool HasDirectoryShape(const QStringList& fields) {
    if (fields.size() < 5) return false;
    if (!GetCDate(fields.at(1).trimmed())) return false;
    if (!IsCount(fields.at(2))) return false;
    return fields.size() < 6 || fields.at(5).isEmpty() || IsCount(fields.at(5));
}

}  // namespace

QList<DirEntry> ParseDirReply(const QString& reply, bool* wellFormed) {
    QList<DirEntry> entries;
    if (wellFormed) *wellFormed = true;
    if (reply.startsWith(QChar(0x1A))) return entries;
    QString rest = reply;
    for (;;) {
        int tabs = 0;
        QString line = TakeLine(rest, tabs);
        if (line.isEmpty()) break;
        line.chop(2);  // CR LF
        // Split at every TAB: an empty status (a deletable file) keeps its
        // place, where skipping a leading TAB would take the second count for
        // the status.
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (wellFormed && !HasDirectoryShape(fields)) *wellFormed = false;
        const auto field = [&fields](int n) { return fields.value(n); };
        DirEntry entry;
        entry.Name = CleanInstrumentText(field(0).trimmed());
        const QString points = field(2);
        entry.Status = field(4).trimmed();
        entry.SecondCount = field(5);
        const QString interval = field(3).trimmed();
        if (interval.size() == 4) {
            entry.IntervalUnit = static_cast<qint16>(LeadingDecimal(QStringView(interval).left(2)));
            entry.IntervalValue = HexToInt(interval.right(2));
        }
        entry.PointTotal =
            (entry.SecondCount.isEmpty() ? points : entry.SecondCount).trimmed().toInt();
        if (const auto time = GetCDate(field(1).trimmed())) {
            entry.FirstPointTime = *time;
            entry.FirstPointText = FormatDateTimeLocal(*time);
        }
        entry.Index = static_cast<qint32>(entries.size());
        entry.Key = QStringLiteral("#%1").arg(entry.Index);
        entries << entry;
    }
    // A reply without a single line is no directory either (only CTRL-Z
    // alone says "no files").
    if (wellFormed && entries.isEmpty()) *wellFormed = false;
    return entries;
}

bool AnyRangeCapable(const QList<DirEntry>& entries) {
    return std::any_of(entries.cbegin(), entries.cend(),
                       [](const DirEntry& e) { return e.RangeCapable(); });
}

void SortDirEntries(QList<DirEntry>& entries, DirColumn column, bool ascending) {
    std::stable_sort(entries.begin(), entries.end(),
                     [column, ascending](const DirEntry& a, const DirEntry& b) {
                         const int order = Compare(a, b, column);
                         return ascending ? order < 0 : order > 0;
                     });
}

bool DirSortState::Click(DirColumn column) {
    const int number = static_cast<int>(column);
    ascending = number == lastColumn ? !ascending : true;
    lastColumn = number;
    return ascending;
}

int SelectedCount(const QList<DirEntry>& entries) {
    return static_cast<int>(std::count_if(entries.cbegin(), entries.cend(),
                                          [](const DirEntry& e) { return e.Selected != 0; }));
}

bool AllSelected(const QList<DirEntry>& entries) {
    return !entries.isEmpty() && SelectedCount(entries) == entries.size();
}

DirSelectionRules SelectionRules(const QList<DirEntry>& entries) {
    DirSelectionRules rules;
    if (SelectedCount(entries) == 0) return rules;
    rules.actionEnabled = true;
    bool anyUndeletable = false;
    for (const DirEntry& entry : entries) {
        if (!entry.Selected) continue;
        if (!entry.Deletable()) anyUndeletable = true;
        if (entry.RangeCapable()) rules.rangeEnabled = true;
    }
    rules.deleteEnabled = !anyUndeletable;
    rules.deleteAfterEnabled = !anyUndeletable;
    return rules;
}

QString DeleteRefusedReason(const QList<DirEntry>& entries) {
    QStringList names;
    for (const DirEntry& entry : entries)
        if (entry.Selected && !entry.Deletable()) names << entry.Name;
    if (names.isEmpty()) return {};
    return StringTable::Text(Str::kDeleteRefusedReason).arg(names.join(QStringLiteral(", ")));
}

QString DeleteQuestionText(const QList<DirEntry>& entries) {
    const int count = SelectedCount(entries);
    if (count == 1) {
        for (const DirEntry& entry : entries)
            if (entry.Selected)
                return StringTable::Text(Str::kDeleteOneFileQuestion).arg(entry.Name);
    }
    return StringTable::Text(Str::kDeleteFilesQuestion).arg(count);
}

std::optional<QDateTime> PointTime(const DirEntry& entry, qint64 n) {
    if (!entry.FirstPointTime.isValid() || entry.IntervalValue < 1) return std::nullopt;
    const qint64 steps = n * entry.IntervalValue;
    const QDateTime& first = entry.FirstPointTime;
    switch (entry.IntervalUnit) {
        case IntervalUnitCode::kSeconds:
            return first.addSecs(steps);
        case IntervalUnitCode::kMinutes:
            return first.addSecs(steps * 60);
        case IntervalUnitCode::kHours:
            return first.addSecs(steps * 3600);
        case IntervalUnitCode::kDays:
            return first.addDays(steps);
        case IntervalUnitCode::kMonths:
            return first.addMonths(static_cast<int>(steps));
        case IntervalUnitCode::kYears:
            return first.addYears(static_cast<int>(steps));
        default:
            return std::nullopt;
    }
}

std::optional<QDateTime> LastPointTime(const DirEntry& entry) {
    return PointTime(entry, std::max<qint64>(0, entry.PointTotal - 1));
}

std::optional<std::pair<QDateTime, QDateTime>> RangeSpan(const QList<DirEntry>& entries) {
    const bool anySelected = SelectedCount(entries) > 0;
    std::optional<std::pair<QDateTime, QDateTime>> span;
    for (const DirEntry& entry : entries) {
        if ((anySelected && !entry.Selected) || !entry.RangeCapable()) continue;
        if (!entry.FirstPointTime.isValid()) continue;
        const QDateTime last = LastPointTime(entry).value_or(QDateTime());
        if (!span) {
            span.emplace(entry.FirstPointTime, last);
            continue;
        }
        if (entry.FirstPointTime < span->first) span->first = entry.FirstPointTime;
        if (last.isValid() && (!span->second.isValid() || last > span->second)) span->second = last;
    }
    return span;
}

QString StatusText(const DirEntry& entry) {
    return StringTable::Text(entry.Deletable() ? 6015 : 6016);
}
