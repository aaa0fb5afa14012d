#include "download/DirectoryReader.h"

#include "base/MessageKeys.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "link/Link.h"

DirectoryResult ReadDirectory(Link& link, QList<DirEntry>& entries, bool closeAfter) {
    CommunicationProgress& progress = link.Progress();
    progress.Load();
    progress.SetValue(0);
    progress.SetMsg(StringTable::Text(Str::kReadingDirectory));
    link.StartLineCount(0);
    QString reply;
    const bool ok =
        link.SendCommandAndReceive(QStringLiteral("DIR\r"), Command::kDir, reply, closeAfter);
    DirectoryResult result = DirectoryResult::Failed;
    bool wellFormed = false;
    if (ok) entries = ParseDirReply(reply, &wellFormed);
    if (ok && wellFormed)
        result = entries.isEmpty() ? DirectoryResult::NoFiles : DirectoryResult::Listed;
    if (progress.IsLoaded()) progress.Unload();
    if (ok && !wellFormed) {
        entries.clear();
        link.MarkFailed();
        QString key = MessageKeys::kCommunicationErrors;
        link.ShowMessage(key);
        // The link was left open for a following command that will not come.
        if (link.State().OpenPort != 0) link.CloseLink();
    }
    if (result == DirectoryResult::NoFiles) {
        QString key = MessageKeys::kNoFiles;
        link.ShowMessage(key);
    }
    link.EndSequence();
    return result;
}
