#include "download/DirEntry.h"

#include "download/TimeStamp.h"
#include "instrument/TextHelpers.h"

QList<DirEntry> ParseDirReply(const QString& reply) {
    QList<DirEntry> entries;
    if (reply.startsWith(QChar(0x1A))) return entries;
    QString rest = reply;
    for (;;) {
        int tabs = 0;
        QString line = TakeLine(rest, tabs);
        if (line.isEmpty()) break;
        DirEntry entry;
        entry.Name = CleanInstrumentText(TakeField(line).trimmed());
        const QString first = TakeField(line);
        const QString points = TakeField(line);
        TakeField(line);  // not used by the program
        entry.Status = TakeField(line).trimmed();
        entry.SecondCount = TakeField(line);
        entry.PointTotal = (entry.SecondCount.isEmpty() ? points : entry.SecondCount).trimmed().toInt();
        if (const auto time = GetCDate(first.trimmed())) {
            entry.FirstPointTime = *time;
            entry.FirstPointText = FormatDateTimeLocal(*time);
        }
        entry.Index = static_cast<qint32>(entries.size());
        entry.Key = QStringLiteral("#%1").arg(entry.Index);
        entries << entry;
    }
    return entries;
}
