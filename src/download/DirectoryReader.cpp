#include "download/DirectoryReader.h"

#include "app/StringTable.h"
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
    if (ok) {
        entries = ParseDirReply(reply);
        result = entries.isEmpty() ? DirectoryResult::NoFiles : DirectoryResult::Listed;
    }
    if (progress.IsLoaded()) progress.Unload();
    if (result == DirectoryResult::NoFiles) {
        QString key = QStringLiteral("No Files");
        link.ShowMessage(key);
    }
    s.LineCount = 0;
    s.LinkBusy = false;
    return result;
}
