// tr58 download, delete, convert and stats. The download does what the file
// dialog of TR58 Link does (DIR, one PLAY per selected file, the parser, and
// DEL afterwards when asked) and saves every file as a .t58 document; convert
// and stats open a .t58 file as the program does.
#include "DocumentCommands.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

#include "CliSession.h"
#include "base/MessageKeys.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/Statistics.h"
#include "document/T58File.h"
#include "download/DirEntry.h"
#include "download/DirectoryReader.h"
#include "download/Download.h"
#include "download/FileDeletion.h"
#include "download/RecordedDataFill.h"
#include "download/TimeStamp.h"

const char kDownloadSynopsis[] =
    "download N... | --all [--newest | --from \"yyyy-mm-dd hh:mm:ss\" --to \"yyyy-mm-dd "
    "hh:mm:ss\"]\n"
    "         [--delete] [-o DIR]\n"
    "      Downloads the instrument's files number N... (as dir lists them), or all of\n"
    "      them, and saves each as a .t58 document in DIR (default: the current folder;\n"
    "      made, with its parents, when missing), named after the file; an existing file\n"
    "      is never replaced: \" (2)\" and so on is added. --newest (the default) reads\n"
    "      each file whole; --from/--to reads that date/time range of the files that\n"
    "      support it. At most 65000 points are kept per file. --delete deletes the\n"
    "      downloaded files in the instrument afterwards, but only those downloaded\n"
    "      whole: a file cut at 65000 points or read by date/time range is kept (exit\n"
    "      status 3). A file that ends before the points dir lists is named and kept\n"
    "      in the instrument (exit status 3); the points that came are saved. The saved\n"
    "      paths are printed, one a line. On a terminal, standard error shows a bar\n"
    "      per file: its points so far and the time left.";
const char kDeleteSynopsis[] =
    "delete N... | --all\n"
    "      Deletes the instrument's files number N... (as dir lists them), or every\n"
    "      file that can be deleted. The instrument numbers its files anew after a\n"
    "      deletion, so several files belong in one delete, not in one each.";
const char kConvertSynopsis[] =
    "convert IN.t58 OUT [--force]\n"
    "  convert IN.t58... -o DIR [--format csv|txt|t58] [--force]\n"
    "      Writes a saved document as OUT: a .t58 document, or an export for\n"
    "      spreadsheets by OUT's extension: .csv (the user's list separator) or .txt\n"
    "      (TAB-delimited), with the user's decimal separator, date and time, in the\n"
    "      user's encoding (UTF-8 under a UTF-8 locale, the CSV with a byte-order mark;\n"
    "      Windows-1252 otherwise). With -o every IN is written into DIR (made when\n"
    "      missing) as its name with the --format's extension (default csv), and the\n"
    "      written paths are printed. An existing file is replaced only with --force,\n"
    "      and never when it is another of the files being converted.\n"
    "      A file that cannot be converted is named, the others are still converted,\n"
    "      and the exit status is 1.";
const char kStatsSynopsis[] =
    "stats FILE.t58\n"
    "      The information page of a saved document: name, recording details, and\n"
    "      minimum, maximum and mean of every quantity, then the notes.";

namespace {

void Note(const QString& text) {
    std::fprintf(stderr, "tr58: %s\n", text.toUtf8().constData());
}

// Reads the instrument's directory, leaving the link open for what follows.
bool ReadDirectory(Link& link, QList<DirEntry>& entries) {
    return link.WaitLinkIdle() && ::ReadDirectory(link, entries, false) == DirectoryResult::Listed;
}

// Marks the files named by number (or every file) as selected; false with a
// message for a number the directory does not hold.
bool Select(QList<DirEntry>& entries, const QList<int>& numbers, bool all, QString& error) {
    for (DirEntry& entry : entries) entry.Selected = all ? 1 : 0;
    for (int number : numbers) {
        if (number < 0 || number >= entries.size()) {
            error = QStringLiteral("the instrument has no file number %1 (it holds %2 files)")
                        .arg(number)
                        .arg(entries.size());
            return false;
        }
        entries[number].Selected = 1;
    }
    return true;
}

// File numbers and the --all flag; other arguments are left in args.
bool TakeFileNumbers(QStringList& args, QList<int>& numbers, bool& all, QString& error) {
    QStringList rest;
    for (const QString& arg : args) {
        // Digits only: toInt() alone would also take " -8" or "+3" for a file number.
        bool isNumber = !arg.isEmpty() && std::all_of(arg.cbegin(), arg.cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        const int number = isNumber ? arg.toInt(&isNumber) : 0;
        if (arg == QLatin1String("--all")) {
            all = true;
        } else if (isNumber) {
            numbers << number;
        } else {
            rest << arg;
        }
    }
    args = rest;
    if (all && !numbers.isEmpty()) {
        error = QStringLiteral("give file numbers or --all, not both");
        return false;
    }
    if (!all && numbers.isEmpty()) {
        error = QStringLiteral("give the numbers of the files (see tr58 dir) or --all");
        return false;
    }
    return true;
}

// "name.t58" in folder, or "name (2).t58", "name (3).t58" ... when taken.
QString FreePath(const QDir& folder, const QString& name) {
    QString path = folder.filePath(name + QStringLiteral(".t58"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1 (%2).t58").arg(name).arg(n));
    return path;
}

// Opens a .t58 file as the program does; false after showing why not.
bool OpenDocument(CliSession& session, Document& document, const QString& path) {
    QString key;
    if (t58FormatOpen(document, path, nullptr, &key)) return true;
    session.GetLink().ShowMessage(key);
    return false;
}

}  // namespace

bool ParseDownloadArguments(const QStringList& arguments, DownloadRequest& request,
                            QString& error) {
    QStringList args = arguments;
    if (!TakeFileNumbers(args, request.numbers, request.all, error)) {
        error = QStringLiteral("download: ") + error;
        return false;
    }
    QString fromText;
    QString toText;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--newest")) {
            // The default: each file whole.
        } else if (arg == QLatin1String("--delete")) {
            request.deleteAfter = true;
        } else if ((arg == QLatin1String("-o") || arg == QLatin1String("--output")) && hasValue) {
            request.folder = args.at(++i);
        } else if (arg == QLatin1String("--from") && hasValue) {
            fromText = args.at(++i);
        } else if (arg == QLatin1String("--to") && hasValue) {
            toText = args.at(++i);
        } else {
            error = QStringLiteral("download: unexpected argument \"%1\"").arg(arg);
            return false;
        }
    }
    if (fromText.isEmpty() != toText.isEmpty()) {
        error = QStringLiteral("download: --from and --to go together");
        return false;
    }
    if (!fromText.isEmpty()) {
        // Times on the instrument's clock: one inside the hour the clocks skip
        // in spring is as good as any other.
        request.from = ReadWallClockText(fromText);
        request.to = ReadWallClockText(toText);
        if (!request.from || !request.to) {
            error = QStringLiteral("download: --from and --to take \"yyyy-mm-dd hh:mm:ss\"");
            return false;
        }
    }
    return true;
}

bool ParseDeleteArguments(const QStringList& arguments, QList<int>& numbers, bool& all,
                          QString& error) {
    QStringList args = arguments;
    if (!TakeFileNumbers(args, numbers, all, error)) {
        error = QStringLiteral("delete: ") + error;
        return false;
    }
    if (!args.isEmpty()) {
        error = QStringLiteral("delete: unexpected argument \"%1\"").arg(args.first());
        return false;
    }
    return true;
}

int RunDownload(CliSession& session, const QStringList& arguments) {
    DownloadRequest request;
    QString error;
    if (!ParseDownloadArguments(arguments, request, error)) return CliSession::Usage(error);
    const QList<int>& numbers = request.numbers;
    const bool all = request.all;
    const QString& folder = request.folder;
    DownloadSession::Options options;
    options.deleteAfter = request.deleteAfter;
    Link& link = session.GetLink();
    if (request.from) {
        if (!(*request.from < *request.to)) {
            QString key = MessageKeys::kInvalidDate;
            link.ShowMessage(key);
            return Exit::kFailed;
        }
        options.range = true;
        options.from = *request.from;
        options.to = *request.to;
    }
    // The folder is made before the instrument is asked anything: a download
    // must not end with nowhere to keep what it read.
    if (!CliSession::MakeOutputFolder(folder, error)) return CliSession::Failure(error);
    const QDir outputFolder(folder);

    QList<DirEntry> entries;
    if (!ReadDirectory(link, entries)) return Exit::kFailed;
    if (!Select(entries, numbers, all, error)) return CliSession::Failure(error);
    if (options.deleteAfter) {
        for (const DirEntry& entry : entries) {
            if (entry.Selected && !entry.Deletable())
                return CliSession::Failure(
                    QStringLiteral("file %1 (%2) cannot be deleted; leave out --delete or the file")
                        .arg(entry.Index)
                        .arg(entry.Name));
        }
    }

    QStringList names;
    for (const DirEntry& entry : entries)
        if (entry.Selected) names << entry.Name;
    session.ShowFileBars(names);

    const auto sink = [&](const DirEntry& entry, int, QString& reply) {
        session.EndFileBar();
        Document document;
        document.bKapula = true;
        const ReplyFill fill =
            FillDocumentFromReply(document, reply, link.State(), &link.Progress());
        NoteReplyFill(fill, link.State());
        if (fill.failed) {
            // The fill's message, or the engine's view of a reply it refused.
            if (link.State().MessageKey.isEmpty())
                link.State().MessageKey = MessageKeys::kCommunicationErrors;
            link.ShowMessage(link.State().MessageKey);
            Note(QStringLiteral("file %1 (%2) could not be read").arg(entry.Index).arg(entry.Name));
            return false;
        }
        if (document.PointCount() == 0) {
            Note(QStringLiteral("file %1 (%2) holds no points; nothing saved")
                     .arg(entry.Index)
                     .arg(entry.Name));
            return true;
        }
        QString name = document.Info.Caption.trimmed();
        if (name.isEmpty()) name = QStringLiteral("TR58 file %1").arg(entry.Index);
        const QString path = FreePath(outputFolder, name);
        if (!SaveDocumentFile(document, path, DocumentFileType::T58)) {
            QString key = MessageKeys::kCannotSavefile;
            link.ShowMessage(key);
            Note(path);
            return false;
        }
        CliSession::Print(QDir::toNativeSeparators(path) + QLatin1Char('\n'));
        // A Ctrl+C during the read or the save stops the download after this file.
        session.TakeInterrupt();
        return true;
    };
    const auto limit = [&] {
        session.EndFileBar();
        Note(QStringLiteral("a file holds more than %1 points; the first %1 are kept")
                 .arg(kMaxPoints));
        return true;
    };
    DownloadSession download(link);
    const DownloadSession::Outcome outcome = download.Run(entries, options, sink, limit);
    link.Progress().Unload();
    session.ShowFileBars({});
    link.EndSequence();
    // A file the instrument ended early is saved with what came; the user
    // learns it, and the status says that not all was downloaded.
    for (const DownloadSession::EndedEarly& file : download.FilesEndedEarly())
        Note(EndedEarlyText(file).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    const bool endedEarly = !download.FilesEndedEarly().isEmpty();
    // A failed download leaves the link to the session, which says EXIT.
    if (outcome != DownloadSession::Outcome::Done) return Exit::kFailed;
    if (!options.deleteAfter) return endedEarly ? Exit::kPartial : Exit::kOk;
    // Nothing is deleted after a Ctrl+C, whenever it came.
    if (session.TakeInterrupt()) {
        link.CloseLink();
        Note(QStringLiteral("the files are saved; none was deleted"));
        return Exit::kFailed;
    }
    // Only files whose every point is saved are deleted; the others keep the
    // readings that are in no document.
    const auto toldEndedEarly = [&](qint32 index) {
        for (const DownloadSession::EndedEarly& file : download.FilesEndedEarly())
            if (file.index == index) return true;
        return false;
    };
    for (const DirEntry& entry : entries) {
        if (entry.Selected && download.Incomplete().contains(entry.Index) &&
            !toldEndedEarly(entry.Index))
            Note(QStringLiteral("file %1 (%2) was not downloaded whole; it is kept in the "
                                "instrument")
                     .arg(entry.Index)
                     .arg(entry.Name));
    }
    const int kept = download.KeepIncomplete(entries);
    if (SelectedCount(entries) == 0) {
        link.CloseLink();
        return Exit::kPartial;
    }
    const DeleteOutcome deleted = DeleteSelectedFiles(link, entries, true);
    link.Progress().Unload();
    link.EndSequence();
    if (deleted != DeleteOutcome::Deleted) return Exit::kFailed;
    return kept > 0 ? Exit::kPartial : Exit::kOk;
}

int RunDelete(CliSession& session, const QStringList& arguments) {
    QList<int> numbers;
    bool all = false;
    QString error;
    if (!ParseDeleteArguments(arguments, numbers, all, error)) return CliSession::Usage(error);
    Link& link = session.GetLink();
    QList<DirEntry> entries;
    if (!ReadDirectory(link, entries)) return Exit::kFailed;
    if (!Select(entries, numbers, false, error)) return CliSession::Failure(error);
    for (DirEntry& entry : entries) {
        // --all: every file that may be deleted; a named file must be deletable.
        if (all) entry.Selected = entry.Deletable() ? 1 : 0;
        if (entry.Selected && !entry.Deletable())
            return CliSession::Failure(
                QStringLiteral("file %1 (%2) cannot be deleted").arg(entry.Index).arg(entry.Name));
    }
    if (SelectedCount(entries) == 0) {
        link.CloseLink();
        Note(QStringLiteral("no file can be deleted"));
        return Exit::kOk;
    }
    const DeleteOutcome outcome = DeleteSelectedFiles(link, entries, false);
    link.Progress().Unload();
    link.EndSequence();
    return outcome == DeleteOutcome::Deleted ? Exit::kOk : Exit::kFailed;
}

namespace {

// What tr58 convert is asked for.
struct ConvertRequest {
    QStringList inputs;
    QString output;  // the file (one input) or, with -o, the folder
    bool toFolder = false;
    QString format;  // with -o: csv, txt or t58
    bool force = false;
};

bool ParseConvertArguments(const QStringList& args, ConvertRequest& request, QString& error) {
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!hasValue) {
                error = QStringLiteral("convert: %1 takes the output folder").arg(arg);
                return false;
            }
            request.toFolder = true;
            request.output = args.at(++i);
        } else if (arg == QLatin1String("--format")) {
            if (!hasValue) {
                error = QStringLiteral("convert: --format takes csv, txt or t58");
                return false;
            }
            request.format = args.at(++i).toLower();
        } else if (arg == QLatin1String("--force")) {
            request.force = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            error = QStringLiteral("convert: unknown option \"%1\"").arg(arg);
            return false;
        } else {
            files << arg;
        }
    }
    if (!request.toFolder) {
        // The first form: one document, and the file to write, its type by its extension.
        if (files.size() != 2 || !request.format.isEmpty()) {
            error = QStringLiteral(
                "convert takes IN.t58 and OUT, or IN.t58... -o DIR [--format csv|txt|t58]");
            return false;
        }
        request.inputs = {files.at(0)};
        request.output = files.at(1);
        if (!FileTypeOfPath(request.output)) {
            error = QStringLiteral("convert: OUT must end in .t58, .csv or .txt");
            return false;
        }
        return true;
    }
    if (files.isEmpty()) {
        error =
            QStringLiteral("convert: give the .t58 files to convert into %1").arg(request.output);
        return false;
    }
    if (request.format.isEmpty()) request.format = QStringLiteral("csv");
    if (!FileTypeOfPath(QStringLiteral("a.") + request.format)) {
        error = QStringLiteral("convert: --format takes csv, txt or t58, not \"%1\"")
                    .arg(request.format);
        return false;
    }
    request.inputs = files;
    return true;
}

// Converts every input into the folder, each named after its input with the
// format's extension. An existing file is replaced only with --force, and
// never by a second input of the same name nor when it is another input; a
// file that fails is named and the others are still converted.
int ConvertIntoFolder(const ConvertRequest& request) {
    QString error;
    if (!CliSession::MakeOutputFolder(request.output, error)) return CliSession::Failure(error);
    const QDir folder(request.output);
    const DocumentFileType type = *FileTypeOfPath(QStringLiteral("a.") + request.format);
    QStringList written;
    // The documents being converted, as files on the disk: --force replaces
    // none of them but a document's own file, whatever the order of the inputs.
    QStringList inputFiles;
    for (const QString& input : request.inputs) inputFiles << QFileInfo(input).canonicalFilePath();
    for (const QString& input : request.inputs) {
        const QString shownInput = QDir::toNativeSeparators(input);
        const QString target = QDir::cleanPath(folder.filePath(QFileInfo(input).completeBaseName() +
                                                               QLatin1Char('.') + request.format));
        const QString shownTarget = QDir::toNativeSeparators(target);
        if (written.contains(target)) {
            CliSession::Failure(
                QStringLiteral("%1: not converted, %2 was written from another file of the same "
                               "name")
                    .arg(shownInput, shownTarget));
            continue;
        }
        const QString targetFile = QFileInfo(target).canonicalFilePath();
        if (!targetFile.isEmpty() && inputFiles.contains(targetFile) &&
            targetFile != QFileInfo(input).canonicalFilePath()) {
            CliSession::Failure(
                QStringLiteral("%1: not converted, %2 is one of the files to convert")
                    .arg(shownInput, shownTarget));
            continue;
        }
        if (QFileInfo::exists(target) && !request.force) {
            CliSession::Failure(
                QStringLiteral("%1: not converted, %2 exists; give --force to replace it")
                    .arg(shownInput, shownTarget));
            continue;
        }
        Document document;
        if (!CliSession::OpenDocumentFile(document, input)) continue;
        if (!SaveDocumentFile(document, target, type)) {
            CliSession::Failure(QStringLiteral("%1: %2").arg(
                shownTarget, CliSession::MessageText(MessageKeys::kCannotSavefile)));
            continue;
        }
        written << target;
        CliSession::Print(shownTarget + QLatin1Char('\n'));
    }
    const qsizetype failed = request.inputs.size() - written.size();
    if (failed == 0) return Exit::kOk;
    return CliSession::Failure(
        QStringLiteral("%1 of %2 files not converted").arg(failed).arg(request.inputs.size()));
}

}  // namespace

int RunConvert(CliSession& session, const QStringList& args) {
    ConvertRequest request;
    QString error;
    if (!ParseConvertArguments(args, request, error)) return CliSession::Usage(error);
    if (request.toFolder) return ConvertIntoFolder(request);
    const DocumentFileType type = *FileTypeOfPath(request.output);
    if (QFileInfo::exists(request.output) && !request.force)
        return CliSession::Failure(QStringLiteral("%1 exists; give --force to replace it")
                                       .arg(QDir::toNativeSeparators(request.output)));
    Document document;
    if (!OpenDocument(session, document, request.inputs.at(0))) return Exit::kFailed;
    if (!SaveDocumentFile(document, request.output, type)) {
        QString key = MessageKeys::kCannotSavefile;
        session.GetLink().ShowMessage(key);
        return Exit::kFailed;
    }
    return Exit::kOk;
}

int RunStats(CliSession& session, const QStringList& args) {
    if (args.size() != 1) return CliSession::Usage(QStringLiteral("stats takes one .t58 file"));
    Document document;
    if (!OpenDocument(session, document, args.at(0))) return Exit::kFailed;
    CliSession::Print(InformationPageText(document));
    return Exit::kOk;
}
