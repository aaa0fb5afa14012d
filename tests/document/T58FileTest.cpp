// The .t58 file: the exact bytes written, what the reader accepts and rejects,
// and saving through QSaveFile.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <utility>

#include "DocumentTestSupport.h"
#include "document/DocumentFiles.h"
#include "document/DocumentHost.h"
#include "document/T58File.h"

namespace {

// The example file of two quantities: RH and T, one missing reading.
QByteArray ExampleFile() {
    return QByteArray(
        "#TR58\tBeginDataFile\r\n"
        "#TR58\tFileVersion\t1.0\r\n"
        "#TR58\tTitle\tStore room\r\n"
        "#TR58\tInterval\t020A\r\n"
        "#TR58\tBeginNotes\r\n"
        "\r\n"
        "#TR58\tEndNotes\r\n"
        "\tRH\tT\r\n"
        "\t%RH\t\xB0"
        "C\r\n"
        "12-03-05 14:00:00\t45.2\t21.37\r\n"
        "12-03-05 14:00:10\t-\t21.40\r\n"
        "#TR58\tEndDataFile\r\n");
}

QByteArray Write(Document& document) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(t58Format(document, buffer));
    return buffer.data();
}

bool Read(Document& document, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return t58FormatOpen(document, buffer);
}

// The example with other notes in place of the empty line.
QByteArray WithNotes(const QByteArray& notesLines) {
    QByteArray bytes = ExampleFile();
    bytes.replace("#TR58\tBeginNotes\r\n\r\n", "#TR58\tBeginNotes\r\n" + notesLines);
    return bytes;
}

// Closes the document after a number of turns of the user interface.
class ClosingHost : public DocumentHost {
public:
    ClosingHost(Document& document, int turns) : document_(document), turns_(turns) {}
    void Yield() override {
        if (--turns_ == 0) document_.bExit = true;
    }

private:
    Document& document_;
    int turns_;
};

// Does something to the document at the first turn the save gives the
// user interface, as a real-time reading or a typed title would.
class ChangingHost : public DocumentHost {
public:
    explicit ChangingHost(std::function<void()> change) : change_(std::move(change)) {}
    void Yield() override {
        if (change_) std::exchange(change_, nullptr)();
    }

private:
    std::function<void()> change_;
};

// A device that takes no bytes, as a full disk.
class FullDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

}  // namespace

TEST(T58Write, WritesTheExampleFileByteForByte) {
    Document document;
    ASSERT_TRUE(Read(document, ExampleFile()));
    document.iSaved = Saved::kNever;
    EXPECT_EQ(Write(document), ExampleFile());
    EXPECT_EQ(document.iSaved, Saved::kUnchanged);
    EXPECT_FALSE(document.bCommunicate);
}

TEST(T58Write, WritesIntervalFieldsOfFourCharacters) {
    const auto interval = [](qint16 unit, qint32 value) {
        Document document;
        FillDocument(document, {"T"}, {"C"}, {"12-03-05 14:00:00\t1"});
        document.IntervalUnit = unit;
        document.IntervalValue = value;
        const QByteArray bytes = Write(document);
        const qsizetype at = bytes.indexOf("Interval\t") + 9;
        return bytes.mid(at, bytes.indexOf('\r', at) - at);
    };
    EXPECT_EQ(interval(2, 10), QByteArray("020A"));
    EXPECT_EQ(interval(10, 1), QByteArray("1001"));
    EXPECT_EQ(interval(0, 0), QByteArray("0000"));
    EXPECT_EQ(interval(40, 255), QByteArray("40FF"));
    // A manual recording with a negative count is still a manual recording.
    EXPECT_EQ(interval(2, -1), QByteArray("0200"));
}

TEST(T58Write, UsesAPointAndTheExactDecimalsWhateverTheLocale) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"T", "n", "p"}, {"C", "", "hPa"},
                     {"12-03-05 14:00:00\t21.5\t3\t-0.04", "12-03-05 14:00:01\t-1.25\t4\t0.06"}));
    document.Quantity(0).Decimals = 3;
    document.Quantity(2).Decimals = 1;
    const QByteArray bytes = Write(document);
    EXPECT_TRUE(bytes.contains("12-03-05 14:00:00\t21.500\t3\t0.0\r\n"));
    EXPECT_TRUE(bytes.contains("12-03-05 14:00:01\t-1.250\t4\t0.1\r\n"));
}

TEST(T58Write, WritesQuestionMarksForCharactersWindows1252Lacks) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {QStringLiteral("\u03a9")}, {QStringLiteral("\u00b0C")},
                             {"12-03-05 14:00:00\t1"}));
    document.Title = QStringLiteral("Rum \u00d6st \u2192 \u20ac");
    const QByteArray bytes = Write(document);
    EXPECT_TRUE(bytes.contains("#TR58\tTitle\tRum \xD6st ? \x80\r\n"));
    EXPECT_TRUE(
        bytes.contains("\r\n\t?\r\n\t\xB0"
                       "C\r\n"));
}

TEST(T58Read, ReadsTheExampleFile) {
    Document document;
    ASSERT_TRUE(Read(document, ExampleFile()));
    EXPECT_EQ(document.Title, QStringLiteral("Store room"));
    EXPECT_EQ(document.IntervalUnit, 2);
    EXPECT_EQ(document.IntervalValue, 10);
    EXPECT_EQ(document.Notes, QString());
    ASSERT_EQ(document.QuantityCount(), 2);
    EXPECT_EQ(document.Quantity(1).Unit, QStringLiteral("\u00b0C"));
    ASSERT_EQ(document.PointCount(), 2);
    EXPECT_EQ(document.Value(1, 0).Valid, 0);
    EXPECT_EQ(document.Value(1, 1).Value, 21.4f);
    EXPECT_EQ(document.Quantity(0).Decimals, 1);
    EXPECT_EQ(document.Quantity(1).Decimals, 2);
    EXPECT_EQ(document.StartTime, document.PointTime(0));
    EXPECT_EQ(document.StopTime, document.PointTime(1));
    EXPECT_EQ(document.iSaved, Saved::kUnchanged);
    EXPECT_FALSE(document.bInvalidFile);
    EXPECT_FALSE(document.bCommunicate);
    EXPECT_EQ(document.Quantity(1).StatsValid, 1);
    EXPECT_EQ(document.Info.Interval, QStringLiteral("10 s"));
    EXPECT_EQ(document.Info.Duration, QStringLiteral("0:00:10"));
}

TEST(T58Read, ReadsIntervalFields) {
    const auto read = [](const char* field, qint16& unit, qint32& value) {
        QByteArray bytes = ExampleFile();
        bytes.replace("020A", field);
        Document document;
        const bool ok = Read(document, bytes);
        unit = document.IntervalUnit;
        value = document.IntervalValue;
        return ok ? document.Info.RecordingKind : QString();
    };
    qint16 unit = 0;
    qint32 value = 0;
    read("4001", unit, value);
    EXPECT_EQ(unit, 40);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(read("0000", unit, value), QStringLiteral("Manuellt registrerade data"));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(read("0210", unit, value), QStringLiteral("Automatiskt registrerad data"));
    EXPECT_EQ(value, 16);
}

TEST(T58Read, TakesTheTitleUpToATab) {
    QByteArray bytes = ExampleFile();
    bytes.replace("Title\tStore room", "Title\tStore\troom");
    Document document;
    ASSERT_TRUE(Read(document, bytes));
    EXPECT_EQ(document.Title, QStringLiteral("Store"));
}

TEST(T58Read, OneTabInTheNamesLineIsOneQuantity) {
    const QByteArray bytes(
        "#TR58\tBeginDataFile\r\n#TR58\tFileVersion\t1.0\r\n#TR58\tTitle\tx\r\n"
        "#TR58\tInterval\t0201\r\n#TR58\tBeginNotes\r\n\r\n#TR58\tEndNotes\r\n"
        "\tT\r\n\tC\r\n12-03-05 14:00:00\t1.5\r\n#TR58\tEndDataFile\r\n");
    Document document;
    ASSERT_TRUE(Read(document, bytes));
    EXPECT_EQ(document.QuantityCount(), 1);
    EXPECT_EQ(document.PointCount(), 1);
}

TEST(T58Read, RejectsBrokenStructures) {
    const auto rejected = [](const QByteArray& bytes) {
        Document document;
        const bool ok = Read(document, bytes);
        EXPECT_TRUE(!ok == document.bInvalidFile);
        EXPECT_FALSE(document.bCommunicate);
        return !ok;
    };
    QByteArray nine = ExampleFile();
    nine.replace("\tRH\tT\r\n", "\tA\tB\tC\tD\tE\tF\tG\tH\tI\r\n");
    EXPECT_TRUE(rejected(nine));
    QByteArray noNames = ExampleFile();
    noNames.replace("\tRH\tT\r\n", "RH T\r\n");
    EXPECT_TRUE(rejected(noNames));
    QByteArray unitsWithoutTab = ExampleFile();
    unitsWithoutTab.replace("\t%RH\t", "%RH\t");
    EXPECT_TRUE(rejected(unitsWithoutTab));
    QByteArray extraTab = ExampleFile();
    extraTab.replace("\t21.40\r\n", "\t21.40\t\r\n");
    EXPECT_TRUE(rejected(extraTab));
    QByteArray missingField = ExampleFile();
    missingField.replace("\t-\t21.40", "\t21.40");
    EXPECT_TRUE(rejected(missingField));
    QByteArray badDate = ExampleFile();
    badDate.replace("12-03-05 14:00:10", "12-13-05 14:00:10");
    EXPECT_TRUE(rejected(badDate));
    QByteArray noEnd = ExampleFile();
    noEnd.chop(static_cast<qsizetype>(strlen("#TR58\tEndDataFile\r\n")));
    EXPECT_TRUE(rejected(noEnd));
    EXPECT_TRUE(rejected(ExampleFile().left(60)));
    EXPECT_TRUE(rejected(QByteArray()));
}

// Regression: a downloaded file without points could be saved, but the saved
// file was refused as damaged, and the title and notes typed into it were lost.
TEST(T58Read, ReadsAFileWithAHeaderButNoDataLineAsADocumentWithoutPoints) {
    QByteArray bytes = ExampleFile();
    const qsizetype from = bytes.indexOf("12-03-05 14:00:00");
    bytes.remove(from, bytes.indexOf("#TR58\tEndDataFile") - from);
    Document document;
    ASSERT_TRUE(Read(document, bytes));
    EXPECT_FALSE(document.bInvalidFile);
    EXPECT_EQ(document.Title, QStringLiteral("Store room"));
    EXPECT_EQ(document.QuantityCount(), 2);
    EXPECT_EQ(document.PointCount(), 0);
    EXPECT_EQ(document.Info.Points, QStringLiteral("0"));
    EXPECT_TRUE(document.Info.Start.isEmpty());
    EXPECT_EQ(document.Quantity(1).StatsValid, 0);
}

TEST(T58RoundTrip, SavedDocumentWithoutPointsOpensWithItsTitleAndNotes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty room.t58"));
    Document written;
    ASSERT_TRUE(FillDocument(written, {"RH", "T"}, {"%RH", QStringLiteral("\u00b0C")}, {}));
    written.Title = QStringLiteral("Store room");
    written.Notes = QStringLiteral("Logger was off\r\nall weekend");
    ASSERT_TRUE(SaveDocumentFile(written, path, DocumentFileType::T58));
    Document read;
    QString key;
    ASSERT_TRUE(t58FormatOpen(read, path, nullptr, &key)) << qPrintable(key);
    EXPECT_EQ(read.Title, written.Title);
    EXPECT_EQ(read.Notes, written.Notes);
    EXPECT_EQ(read.QuantityCount(), 2);
    EXPECT_EQ(read.PointCount(), 0);
    EXPECT_EQ(Write(read), Write(written));
}

// Regression: a file whose lines switch from CR LF to LF (an editor or a
// transfer left it so) opened "successfully" with only the CR LF points; the
// LF lines and the end line were read as one line that passed for the end.
TEST(T58Read, MixedLineEndsKeepEveryPoint) {
    Document written;
    written.SetQuantityCount(1);
    written.Quantity(0).Decimals = 1;
    for (qint32 i = 0; i < 1000; ++i) {
        written.AppendPoint(40000.0 + i / 86400.0);
        written.SetValue(i, 0, i * 0.5f, true);
    }
    const QByteArray crlf = Write(written);
    // The second half of the data lines and the end line in LF alone.
    qsizetype middle = 0;
    for (int line = 0; line < 9 + 500; ++line) middle = crlf.indexOf("\r\n", middle) + 2;
    QByteArray mixed = crlf.left(middle) + crlf.mid(middle).replace("\r\n", "\n");
    QByteArray lfOnly = crlf;
    lfOnly.replace("\r\n", "\n");
    for (const QByteArray& bytes : {mixed, lfOnly}) {
        Document read;
        ASSERT_TRUE(Read(read, bytes));
        ASSERT_EQ(read.PointCount(), 1000);
        EXPECT_EQ(read.Value(999, 0).Value, 499.5f);
        EXPECT_EQ(Write(read), crlf);
    }
}

// Regression: the end line was any line containing "EndDataFile" and what
// followed it was never looked at, so points glued to the end line or
// appended after it were dropped while the file opened without complaint.
TEST(T58Read, RefusesAFileWhosePointsWouldBeLostAroundTheEndLine) {
    const QByteArray end = "#TR58\tEndDataFile\r\n";
    QByteArray glued = ExampleFile();
    glued.replace("\t21.40\r\n" + end, "\t21.40" + end);
    QByteArray after = ExampleFile() + "12-03-05 14:00:20\t45.3\t21.41\r\n";
    QByteArray twice = ExampleFile() + ExampleFile().mid(ExampleFile().indexOf("12-03-05"));
    QByteArray cut = ExampleFile();
    cut.chop(end.size() + 4);  // the last reading cut short, no end line
    for (const QByteArray& bytes : {glued, after, twice, cut}) {
        Document document;
        EXPECT_FALSE(Read(document, bytes)) << bytes.right(60).constData();
        EXPECT_TRUE(document.bInvalidFile);
    }
    // Blank lines and a CTRL-Z after the end line hold no points.
    Document tail;
    EXPECT_TRUE(Read(tail, ExampleFile() + "\r\n\x1A"));
    EXPECT_EQ(tail.PointCount(), 2);
}

TEST(T58Read, ToleratesAMissingLastLineEnd) {
    QByteArray bytes = ExampleFile();
    bytes.chop(2);
    Document document;
    EXPECT_TRUE(Read(document, bytes));
}

TEST(T58RoundTrip, KeepsNotesOfSeveralLinesAndEmptyLines) {
    for (const QString& notes :
         {QString(), QStringLiteral("a\r\nb"), QStringLiteral("a\r\n\r\nb"),
          QStringLiteral("first\r\n"), QStringLiteral("\u00e5\u00e4\u00f6 \u00b0C")}) {
        Document written;
        ASSERT_TRUE(Read(written, ExampleFile()));
        written.Notes = notes;
        Document read;
        ASSERT_TRUE(Read(read, Write(written))) << qPrintable(notes);
        EXPECT_EQ(read.Notes, notes);
    }
}

TEST(T58RoundTrip, NotesLineWithTheNullMarkerReadsBackEmpty) {
    Document document;
    ASSERT_TRUE(Read(document, WithNotes("a\r\n#Null\r\nb\r\n")));
    EXPECT_EQ(document.Notes, QStringLiteral("a\r\n\r\nb"));
    Document again;
    ASSERT_TRUE(Read(again, Write(document)));
    EXPECT_EQ(again.Notes, document.Notes);
}

// Regression: a notes line beginning with the file's tag ended the notes, so
// the names line was read from the EndNotes line and the saved file could not
// be opened again.
TEST(T58RoundTrip, NotesLineBeginningWithTheTagStaysInTheNotes) {
    Document written;
    ASSERT_TRUE(Read(written, ExampleFile()));
    written.Notes = QStringLiteral("#TR58 was written on the label\r\n#TR58\tTitle\tcopy");
    Document read;
    ASSERT_TRUE(Read(read, Write(written)));
    EXPECT_EQ(read.Notes, written.Notes);
    EXPECT_EQ(read.QuantityCount(), 2);
    EXPECT_EQ(read.PointCount(), 2);
}

// Now that LF and CR alone end lines when reading, a line break inside the
// title or a name must not reach the file, and notes with LF line breaks must
// come back as their lines.
TEST(T58RoundTrip, LineBreaksInsideTextsDoNotSplitTheFilesLines) {
    Document written;
    ASSERT_TRUE(Read(written, ExampleFile()));
    written.Title = QStringLiteral("Store\nroom");
    written.Quantity(0).Name = QStringLiteral("R\rH");
    written.Notes = QStringLiteral("a\nb\rc\r\nd");
    Document read;
    ASSERT_TRUE(Read(read, Write(written)));
    EXPECT_EQ(read.Title, QStringLiteral("Store room"));
    EXPECT_EQ(read.Quantity(0).Name, QStringLiteral("R H"));
    EXPECT_EQ(read.Notes, QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(read.PointCount(), 2);
}

TEST(T58RoundTrip, KeepsMissingReadingsTimesAndValues) {
    Document written;
    ASSERT_TRUE(
        FillDocument(written, {"RH", "T", "p"}, {"%RH", "\u00b0C", "hPa"},
                     {"99-12-31 23:59:59\t45.2\t-21.37\t1013", "00-01-01 00:00:00\t-\t0.05\t-",
                      "38-12-31 12:00:00\t100.0\t-\t987"}));
    written.Title = QStringLiteral("Frys");
    written.IntervalUnit = 8;
    written.IntervalValue = 12;
    Document read;
    ASSERT_TRUE(Read(read, Write(written)));
    ASSERT_EQ(read.PointCount(), 3);
    for (qint32 i = 0; i < 3; ++i) {
        EXPECT_EQ(read.PointTime(i), written.PointTime(i));
        for (int q = 0; q < 3; ++q) {
            EXPECT_EQ(read.Value(i, q).Valid, written.Value(i, q).Valid) << i << q;
            EXPECT_EQ(read.Value(i, q).Value, written.Value(i, q).Value) << i << q;
        }
    }
    EXPECT_EQ(read.Quantity(1).Unit, QStringLiteral("\u00b0C"));
    EXPECT_EQ(read.IntervalUnit, 8);
    EXPECT_EQ(read.IntervalValue, 12);
    EXPECT_EQ(Write(read), Write(written));
}

// A quantity whose first reading has 30 decimals writes every reading with 30; the largest
// values then take 71 characters, and each must come back as the reading it was.
TEST(T58RoundTrip, ReadingsOfThirtyDecimalsAndThirtyDigitsComeBack) {
    const QString tiny = QStringLiteral("0.") + QString(29, u'0') + u'1';
    for (const QString& large : {QStringLiteral("-6020000000005580460338270641260"),
                                 QStringLiteral("-340282346638528859811704183484516925440")}) {
        Document written;
        ASSERT_TRUE(FillDocument(written, {QStringLiteral("A")}, {QStringLiteral("u")},
                                 {QStringLiteral("26-11-02 12:00:00\t") + tiny,
                                  QStringLiteral("26-11-03 00:00:00\t") + large}));
        ASSERT_EQ(written.Quantity(0).Decimals, 30);
        ASSERT_TRUE(written.Value(1, 0).Valid) << large.toStdString();
        const QByteArray bytes = Write(written);
        Document read;
        ASSERT_TRUE(Read(read, bytes));
        ASSERT_EQ(read.PointCount(), 2);
        for (qint32 i = 0; i < 2; ++i) {
            EXPECT_TRUE(read.Value(i, 0).Valid) << i << ' ' << bytes.constData();
            EXPECT_EQ(read.Value(i, 0).Value, written.Value(i, 0).Value) << i;
        }
        EXPECT_EQ(Write(read), bytes);
    }
}

TEST(T58RoundTrip, CommaLocaleWritesAndReadsPoints) {
    LocaleScope swedish(SwedishLocale());
    Document written;
    ASSERT_TRUE(FillDocument(written, {"T"}, {"C"},
                             {"12-03-05 14:00:00\t21.37", "12-03-05 14:00:10\t-0.5"}));
    const QByteArray bytes = Write(written);
    EXPECT_TRUE(bytes.contains("\t21.37\r\n"));
    EXPECT_FALSE(bytes.contains("21,37"));
    Document read;
    ASSERT_TRUE(Read(read, bytes));
    EXPECT_EQ(read.Value(0, 0).Value, 21.37f);
    EXPECT_EQ(read.Value(1, 0).Value, -0.5f);
    EXPECT_EQ(read.Quantity(0).Decimals, 2);
}

TEST(T58Save, ReplacesTheFileAndSetsThePath) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("store.t58"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    Document document;
    ASSERT_TRUE(Read(document, ExampleFile()));
    document.iSaved = Saved::kChanged;
    ASSERT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), ExampleFile());
    EXPECT_EQ(document.FilePath, path);
    EXPECT_EQ(document.iSaved, Saved::kUnchanged);
    Document reopened;
    QString key;
    ASSERT_TRUE(t58FormatOpen(reopened, path, nullptr, &key));
    EXPECT_EQ(reopened.FilePath, path);
}

// Regression: saving deleted the old file before writing the new one, so a
// save that failed half-way lost the user's previous file.
TEST(T58Save, InterruptedSaveKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.t58"));
    Document document;
    document.SetQuantityCount(2);
    for (qint32 i = 0; i < 5000; ++i) {
        document.AppendPoint(40000.0 + i / 86400.0);
        document.SetValue(i, 0, i * 0.5f, true);
        document.Quantity(0).Decimals = 1;
    }
    ASSERT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
    QFile first(path);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray before = first.readAll();
    first.close();

    document.SetValue(0, 0, 99.0f, true);
    document.iSaved = Saved::kChanged;
    ClosingHost closing(document, 2);  // the window closes during the save
    EXPECT_FALSE(SaveDocumentFile(document, path, DocumentFileType::T58, &closing));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    EXPECT_EQ(document.iSaved, Saved::kChanged);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("big.t58")});
}

// Regression: a change made while the points were written (a reading polled
// meanwhile, a title typed) was marked saved with the rest, so the window
// closed without the save question and the change was in no file.
TEST(T58Save, AChangeWhileTheSaveRunsLeavesTheDocumentChanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.t58"));
    for (const Saved::State before : {Saved::kNever, Saved::kChanged, Saved::kUnchanged}) {
        for (const bool titleEdit : {false, true}) {
            SCOPED_TRACE(testing::Message() << "before " << before << " title " << titleEdit);
            Document document;
            document.SetQuantityCount(1);
            for (qint32 i = 0; i < 3000; ++i) {
                document.AppendPoint(40000.0 + i / 86400.0);
                document.SetValue(i, 0, i * 0.5f, true);
            }
            document.iSaved = before;
            ChangingHost host([&] {
                if (titleEdit) {
                    document.EditTitle(QStringLiteral("typed meanwhile"));
                } else {
                    PointArrays reading;  // as the real-time poll adds it
                    reading.Times = {40001.0};
                    reading.Values = {7.0f};
                    reading.Valid = {1};
                    document.AppendPoints(std::move(reading));
                }
            });
            ASSERT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58, &host));
            EXPECT_EQ(document.iSaved, Saved::kChanged);
            Document reopened;
            QString key;
            ASSERT_TRUE(t58FormatOpen(reopened, path, nullptr, &key));
            EXPECT_EQ(reopened.PointCount(), 3000) << "the file holds what was there at the start";
        }
    }
    // Without a change the save is a save.
    Document document;
    document.SetQuantityCount(1);
    document.AppendPoint(40000.0);
    document.SetValue(0, 0, 1.0f, true);
    document.iSaved = Saved::kNever;
    ASSERT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
    EXPECT_EQ(document.iSaved, Saved::kUnchanged);
}

TEST(T58Save, AFailedSaveOfAnUnchangedDocumentKeepsAChangeMadeMeanwhile) {
    Document document;
    document.SetQuantityCount(1);
    for (qint32 i = 0; i < 3000; ++i) {
        document.AppendPoint(40000.0 + i / 86400.0);
        document.SetValue(i, 0, 1.0f, true);
    }
    document.iSaved = Saved::kUnchanged;
    bool changed = false;
    ChangingHost host([&] {
        document.EditNotes(QStringLiteral("noted meanwhile"));
        document.bExit = true;  // and the save stops there
        changed = true;
    });
    QTemporaryDir dir;
    EXPECT_FALSE(SaveDocumentFile(document, dir.filePath(QStringLiteral("x.t58")),
                                  DocumentFileType::T58, &host));
    ASSERT_TRUE(changed);
    EXPECT_EQ(document.iSaved, Saved::kChanged);
}

TEST(T58Save, ReportsADeviceThatRefusesTheBytes) {
    Document document;
    ASSERT_TRUE(Read(document, ExampleFile()));
    document.iSaved = Saved::kChanged;
    FullDevice full;
    full.open(QIODevice::WriteOnly);
    EXPECT_FALSE(t58Format(document, full));
    EXPECT_EQ(document.iSaved, Saved::kChanged);
    EXPECT_FALSE(document.bCommunicate);
}

TEST(T58Save, FailsIntoAFolderThatDoesNotExist) {
    QTemporaryDir dir;
    Document document;
    ASSERT_TRUE(Read(document, ExampleFile()));
    EXPECT_FALSE(SaveDocumentFile(document, dir.filePath(QStringLiteral("none/x.t58")),
                                  DocumentFileType::T58));
    EXPECT_TRUE(document.FilePath.isEmpty());
}

TEST(T58Open, NamesTheReasonOfAFailure) {
    QTemporaryDir dir;
    Document missing;
    QString key;
    EXPECT_FALSE(t58FormatOpen(missing, dir.filePath(QStringLiteral("none.t58")), nullptr, &key));
    EXPECT_EQ(key, QStringLiteral("File Error"));
    const QString empty = dir.filePath(QStringLiteral("empty.t58"));
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Document emptyDocument;
    EXPECT_FALSE(t58FormatOpen(emptyDocument, empty, nullptr, &key));
    EXPECT_EQ(key, QStringLiteral("Invalid File"));
}

// Regression: a folder, or a file that is there but may not be read, was
// reported as a file that cannot be found.
TEST(T58Open, SaysWhenThePathIsAFolderOrCannotBeRead) {
    QTemporaryDir dir;
    Document folder;
    QString key;
    EXPECT_FALSE(t58FormatOpen(folder, dir.path(), nullptr, &key));
    EXPECT_EQ(key, QStringLiteral("File Is Folder"));
    EXPECT_EQ(DocumentOpenProblem(dir.path()), QStringLiteral("File Is Folder"));

    const QString locked = dir.filePath(QStringLiteral("locked.t58"));
    QFile file(locked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ExampleFile());
    file.close();
    EXPECT_TRUE(DocumentOpenProblem(locked).isEmpty());
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    if (QFile(locked).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads every file (root): the tool test covers it";
    Document unreadable;
    EXPECT_FALSE(t58FormatOpen(unreadable, locked, nullptr, &key));
    EXPECT_EQ(key, QStringLiteral("File Unreadable"));
}
