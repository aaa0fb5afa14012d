#include "download/DirEntry.h"

#include <algorithm>

#include "base/StringTable.h"
#include "base/TextHelpers.h"
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

QString StatusText(const DirEntry& entry) {
    return StringTable::Text(entry.Deletable() ? 6015 : 6016);
}
