#pragma once
// Deleting recorded data files in the instrument. When every file of the
// directory is selected one "DEL" deletes them all; otherwise each selected
// file is deleted with "DEL " and its number. Deleting a file moves every file
// after it down by one number, so the walk goes in directory order and counts
// the numbers as it deletes: files 1 and 3 of four are "DEL 1" then "DEL 2".
// A step that fails or is answered with anything but "OK" ends the walk: the
// numbers after it could aim at the wrong file.

#include <QList>

#include "download/DirEntry.h"

class Link;

enum class DeleteOutcome {
    Deleted,    // every selected file is gone
    NotIdle,    // the real-time poll kept the link: nothing was done
    Refused,    // a file was not deleted ("File Deleted" shown, link closed)
    Failed,     // a command failed (the link showed why and closed)
    Cancelled,  // the user cancelled: no message
};

// Deletes the selected entries of the table. The table is sorted back
// into directory order, keeping the selection. afterDownload: the download's
// progress window is shown already and its total counts the deletions.
DeleteOutcome DeleteSelectedFiles(Link& link, QList<DirEntry>& table, bool afterDownload);
