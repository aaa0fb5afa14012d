#include "download/DirEntry.h"

#include <algorithm>

#include "app/StringTable.h"
#include "document/DocumentTexts.h"
#include "document/TimeStamp.h"
#include "instrument/TextHelpers.h"

namespace {

constexpr QChar kCtrlZ(0x1A);

// Decimal digits at the start, as BASIC's Val reads a count.
qint32 LeadingCount(const QString& text) {
    bool ok = false;
    const QString trimmed = text.trimmed();
    qsizetype n = 0;
    while (n < trimmed.size() && trimmed.at(n).isDigit()) ++n;
    const qint32 value = trimmed.left(n).toInt(&ok);
    return ok ? value : 0;
}

// Compares two entries on a column's key: negative, zero, positive.
int Compare(const DirEntry& a, const DirEntry& b, DirColumn column) {
    switch (column) {
        case DirColumn::Name:
            return QString::compare(a.Name, b.Name, Qt::CaseSensitive);
        case DirColumn::FirstPoint:
            return a.FirstPointTime < b.FirstPointTime ? -1 : a.FirstPointTime > b.FirstPointTime;
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

bool DirReplyHasNoFiles(const QString& reply) {
    return reply.startsWith(kCtrlZ);
}

QList<DirEntry> ParseDirReply(const QString& reply) {
    QList<DirEntry> table(1);
    qsizetype pos = 0;
    for (;;) {
        const qsizetype end = reply.indexOf(QStringLiteral("\r\n"), pos);
        if (end < 0) break;
        const QStringList fields = reply.mid(pos, end - pos).split(u'\t');
        pos = end + 2;
        const auto field = [&fields](int n) {
            return n < fields.size() ? fields.at(n) : QString();
        };
        DirEntry entry;
        entry.Name = CleanInstrumentText(field(0).trimmed());
        if (const std::optional<double> first = GetCDate(field(1))) {
            entry.FirstPointTime = *first;
            entry.FirstPointText = PlatformDateTimeText(*first);
        }
        entry.SecondCount = field(5);
        entry.PointTotal = LeadingCount(entry.SecondCount.isEmpty() ? field(2) : entry.SecondCount);
        entry.Status = field(4).trimmed();
        entry.Index = static_cast<qint32>(table.size() - 1);
        entry.Key = QStringLiteral("#") + QString::number(entry.Index);
        table.append(entry);
    }
    return table;
}

bool AnyRangeCapable(const QList<DirEntry>& table) {
    return std::any_of(table.cbegin() + std::min<qsizetype>(1, table.size()), table.cend(),
                       [](const DirEntry& e) { return e.RangeCapable(); });
}

void SortDirEntries(QList<DirEntry>& table, DirColumn column, bool ascending) {
    if (table.size() < 3) return;
    std::stable_sort(table.begin() + 1, table.end(),
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

int SelectedCount(const QList<DirEntry>& table) {
    int count = 0;
    for (qsizetype i = 1; i < table.size(); ++i) count += table.at(i).Selected ? 1 : 0;
    return count;
}

bool AllSelected(const QList<DirEntry>& table) {
    return table.size() > 1 && SelectedCount(table) == table.size() - 1;
}

DirSelectionRules SelectionRules(const QList<DirEntry>& table) {
    DirSelectionRules rules;
    if (SelectedCount(table) == 0) return rules;
    rules.actionEnabled = true;
    bool anyUndeletable = false;
    for (qsizetype i = 1; i < table.size(); ++i) {
        const DirEntry& entry = table.at(i);
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
