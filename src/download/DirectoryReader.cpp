#include "download/DirectoryReader.h"

#include "base/StringTable.h"
#include "link/Link.h"

DirectoryResult ReadDirectory(Link& link, QList<DirEntry>& entries, bool closeAfter) {
    LinkState& s = link.State();
    CommunicationProgress& progress = link.Progress();
    progress.Load();
    progress.SetValue(0);
    progress.SetMsg(StringTable::Text(5025));
    s.LineCount = 0;
    s.LineTotal = 0;
    QString reply;
    int code = Command::kDir;
    const bool ok = link.SendCommandAndReceive(QStringLiteral("DIR\r"), code, reply, closeAfter);
    s.icommand = Command::kNone;
    DirectoryResult result = DirectoryResult::Failed;
    bool wellFormed = false;
    if (ok) entries = ParseDirReply(reply, &wellFormed);
    if (ok && wellFormed)
        result = entries.isEmpty() ? DirectoryResult::NoFiles : DirectoryResult::Listed;
    if (progress.IsLoaded()) progress.Unload();
    if (ok && !wellFormed) {
        entries.clear();
        s.CommandFailed = true;
        QString key = QStringLiteral("Communication Errors");
        link.ShowMessage(key);
        // The link was left open for a following command that will not come.
        if (s.OpenPort != 0) link.CloseLink();
    }
    if (result == DirectoryResult::NoFiles) {
        QString key = QStringLiteral("No Files");
        link.ShowMessage(key);
    }
    s.LineCount = 0;
    s.LinkBusy = false;
    return result;
}
