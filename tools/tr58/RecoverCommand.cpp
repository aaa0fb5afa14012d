// tr58 recover. A real-time recording keeps a journal of its readings on the
// disk; when the recording was killed (a crash, a power cut, tr58 monitor
// ended by force) the journal is what is left. Every complete reading in it is
// written to a .t58 document through the program's own save.
#include "RecoverCommand.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "CliSession.h"
#include "base/MessageKeys.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/T58File.h"
#include "realtime/RecordingJournal.h"

const char kRecoverSynopsis[] =
    "recover FILE.t58.part [-o FILE.t58] [--force]\n"
    "      Makes the journal of a real-time recording that did not end normally (left\n"
    "      by a tr58 monitor that was killed, or by TR58 Link) into a .t58 document\n"
    "      with every complete reading; a reading cut short by the crash is dropped.\n"
    "      Without -o the document is FILE.t58, the journal's name without \".part\".\n"
    "      An existing file is replaced only with --force. Once the document is\n"
    "      written the journal is removed (kept while a running program still writes\n"
    "      it); the numbers of readings recovered and dropped are shown.";

int RunRecover(CliSession& session, const QStringList& args) {
    QString journal;
    QString output;
    bool force = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (i + 1 >= args.size())
                return CliSession::Usage(QStringLiteral("recover: -o takes the .t58 file"));
            output = args.at(++i);
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return CliSession::Usage(QStringLiteral("recover: unknown option \"%1\"").arg(arg));
        } else if (journal.isEmpty()) {
            journal = arg;
        } else {
            return CliSession::Usage(
                QStringLiteral("recover: unexpected argument \"%1\"").arg(arg));
        }
    }
    if (journal.isEmpty())
        return CliSession::Usage(QStringLiteral("recover takes a journal, FILE.t58.part"));
    if (output.isEmpty()) {
        if (!journal.endsWith(QLatin1String(".part")))
            return CliSession::Usage(
                QStringLiteral("recover: \"%1\" does not end in .part; name the document with -o")
                    .arg(journal));
        output = journal.chopped(5);
    }
    const QString shownOutput = QDir::toNativeSeparators(output);
    // The journal is removed once the document is written: written over the
    // journal, the document would go with it.
    if (QFileInfo(output).canonicalFilePath() == QFileInfo(journal).canonicalFilePath() &&
        QFileInfo::exists(journal))
        return CliSession::Usage(
            QStringLiteral("recover: the document cannot replace its own journal; name another "
                           "file with -o"));
    if (QFileInfo::exists(output) && !force)
        return CliSession::Failure(
            QStringLiteral("%1 exists; give --force to replace it").arg(shownOutput));

    Document document;
    QString problem;
    int dropped = 0;
    if (!ReadJournal(journal, document, problem, &dropped))
        return CliSession::Failure(QStringLiteral("%1: %2")
                                       .arg(QDir::toNativeSeparators(journal), problem)
                                       .replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (!SaveDocumentFile(document, output, DocumentFileType::T58)) {
        QString key = MessageKeys::kCannotSavefile;
        session.GetLink().ShowMessage(key);
        return CliSession::Failure(shownOutput);
    }
    std::fprintf(stderr, "tr58: %d readings recovered into %s; %d torn record%s dropped\n",
                 static_cast<int>(document.PointCount()), shownOutput.toUtf8().constData(), dropped,
                 dropped == 1 ? "" : "s");
    CliSession::Print(shownOutput + QLatin1Char('\n'));
    // The program's journal keeps a title and notes as they were typed; the
    // document's code page may not hold them all. Then the journal, the only
    // exact copy, stays (the program restores it whole).
    if (!t58KeepsTexts(document)) {
        std::fprintf(stderr,
                     "tr58: the title or notes hold characters that a .t58 file cannot store "
                     "(saved as '?'); %s is kept with the exact text\n",
                     qUtf8Printable(QDir::toNativeSeparators(journal)));
        return Exit::kOk;
    }
    // The readings are safe in the document now. A journal that a running
    // program still holds goes on growing: that one stays.
    RecordingJournal left;
    if (left.Reopen(journal))
        left.Finish();
    else
        std::fprintf(stderr, "tr58: %s is still being written by a running program; kept\n",
                     qUtf8Printable(QDir::toNativeSeparators(journal)));
    return Exit::kOk;
}
