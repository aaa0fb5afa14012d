#pragma once
// Reading the instrument's directory ("DIR") behind the progress window, as
// the file dialog and the tr58 tool both do.

#include <QList>

#include "download/DirEntry.h"

class Link;

enum class DirectoryResult {
    Listed,   // entries holds the files
    Failed,   // the command failed or was cancelled (the link showed why)
    NoFiles,  // the instrument holds no files ("No Files" shown)
};

// closeAfter: end the link after the reply (false when a download or a
// deletion follows at once).
DirectoryResult ReadDirectory(Link& link, QList<DirEntry>& entries, bool closeAfter);
