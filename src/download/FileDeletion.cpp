#include "download/FileDeletion.h"

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "link/Link.h"

namespace {

// Anything but "OK" to a "DEL" means files may still be there: the user is
// told, and the walk ends.
DeleteOutcome Refused(Link& link) {
    QString key = MessageKeys::kFileDeleted;
    link.ShowMessage(key);
    if (!(link.IsRealTimeActive() && link.RealTimeInterval() <= 5)) link.CloseLink();
    return DeleteOutcome::Refused;
}

}  // namespace

DeleteOutcome DeleteSelectedFiles(Link& link, QList<DirEntry>& table, bool afterDownload) {
    if (!link.WaitLinkIdle()) return DeleteOutcome::NotIdle;
    LinkState& state = link.State();
    CommunicationProgress& progress = link.Progress();
    const int selected = SelectedCount(table);
    if (!afterDownload) {
        progress.Load();
        progress.SetValue(0);
        link.StartLineCount(selected);
    }
    progress.SetMsg(StringTable::Text(Str::kDeletingFiles));

    if (AllSelected(table)) {
        QString reply;
        const bool ok =
            link.SendCommandAndReceive(QStringLiteral("DEL\r"), Command::kDel, reply, true);
        if (!ok) return state.bcancel ? DeleteOutcome::Cancelled : DeleteOutcome::Failed;
        return reply.startsWith(QStringLiteral("OK")) ? DeleteOutcome::Deleted : Refused(link);
    }

    SortDirEntries(table, DirColumn::Index, true);
    int number = -1;  // the current number of the entry walked over
    int deleted = 0;
    for (qsizetype i = 0; i < table.size() && deleted < selected; ++i) {
        ++number;
        if (!table.at(i).Selected) continue;
        const bool closeAfter = deleted + 1 == selected;
        QString reply;
        const QString command = QStringLiteral("DEL ") + QString::number(number) + u'\r';
        const bool ok = link.SendCommandAndReceive(command, Command::kDel, reply, closeAfter);
        if (state.bcancel) return DeleteOutcome::Cancelled;
        // A failed command may or may not have deleted the file; going on
        // with numbers that may be shifted could delete the wrong one.
        if (!ok) return DeleteOutcome::Failed;
        if (!reply.startsWith(QStringLiteral("OK"))) return Refused(link);
        --number;  // the next file has taken this number
        ++deleted;
    }
    return DeleteOutcome::Deleted;
}
