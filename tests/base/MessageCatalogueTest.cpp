#include <gtest/gtest.h>

#include <QList>

#include "base/MessageCatalogue.h"
#include "base/MessageKeys.h"

namespace {

// Records every box and answers with a preset reply.
class Recorder : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        shown.append(box);
        return answer;
    }

    QList<MessageBoxSpec> shown;
    bool answer = true;
};

MessageContext SerialPort(int port) {
    MessageContext context;
    context.openingPort = port;
    return context;
}

QByteArray ShownText(const QString& key, const MessageContext& context) {
    Recorder recorder;
    QString k = key;
    ShowMessage(k, context, recorder);
    return recorder.shown.isEmpty() ? QByteArray() : recorder.shown.first().text.toUtf8();
}

TEST(MessageCatalogue, TextsAsStored) {
    const MessageContext context;
    EXPECT_EQ(ShownText(QStringLiteral("Cannot Change"), context),
              QByteArray("Kan inte \xC3\xA4ndra realtidsf\xC3\xB6nstrets inst\xC3\xA4llningar. "
                         "Kontrollera f\xC3\xB6ljande p\xC3\xA5 instrumentet:\n\n- "
                         "Alarmfunktionen och den analoga utg\xC3\xA5ngen \xC3\xA4r "
                         "deaktiverade.\n- Instrumentet registrerar ej data.\n- Instrumentet "
                         "\xC3\xA4r inte i justeringsl\xC3\xA4ge."));
    EXPECT_EQ(ShownText(QStringLiteral("Real Time Disconnected"), context),
              QByteArray("Realtidsf\xC3\xB6nstret har stoppats.\n\n- Instrumentet kan vara "
                         "fr\xC3\xA5nslagen.\n- De m\xC3\xA4tparametrar eller enheter kan ha "
                         "\xC3\xA4ndrats p\xC3\xA5 instrumentet."));
    EXPECT_EQ(ShownText(QStringLiteral("Cannot Savefile"), context),
              QByteArray("Kan inte spara den h\xC3\xA4r filen. Orsaken kan vara:\n\n- Du har "
                         "inte satt i disketten, eller n\xC3\xA4tverksenheten \xC3\xA4r ej "
                         "tillg\xC3\xA4nglig.\n- Disketten \xC3\xA4r full eller skrivskyddad.\n\n"
                         "F\xC3\xB6rs\xC3\xB6k spara filen p\xC3\xA5 nytt p\xC3\xA5 en annan "
                         "diskett eller i en annan skivenhet."));
    EXPECT_EQ(ShownText(QStringLiteral("Result Limit"), context),
              QByteArray("Det angivna datum/tidsintervallet inneh\xC3\xA5ller fler \xC3\xA4n "
                         "65000 datapunkter.\n Endast de f\xC3\xB6rsta 65000 datapunkterna "
                         "laddas ner."));
    EXPECT_EQ(ShownText(QStringLiteral("No Files"), context),
              QByteArray("Det finns inga datafiler i instrumentet."));
    EXPECT_EQ(ShownText(QStringLiteral("Invalid Date"), context),
              QByteArray("Datum/tidsintervallet \xC3\xA4r ogiltigt."));
}

TEST(MessageCatalogue, NoComPutsThePortAfterBothComs) {
    const QByteArray text = ShownText(QStringLiteral("There is no COM"), SerialPort(3));
    EXPECT_EQ(text, QByteArray("Det finns ingen COM3 port i den h\xC3\xA4r datorn, eller "
                               "anv\xC3\xA4nds den av en annan applikation. Kontrollera "
                               "f\xC3\xB6ljande:\n\n- Den valda porten (COM3) \xC3\xA4r "
                               "korrekt.\n- Kommunikationsporten anv\xC3\xA4nds inte av "
                               "n\xC3\xA5gon annan applikation."));
    EXPECT_TRUE(
        ShownText(QStringLiteral("There is no COM"), SerialPort(16)).contains("(COM16) \xC3\xA4r"));
}

TEST(MessageCatalogue, CannotDetectNamesTheSerialPort) {
    EXPECT_EQ(ShownText(QStringLiteral("Cannot detect"), SerialPort(12)),
              QByteArray("Kan inte hitta instrumentet i COM12. Kontrollera f\xC3\xB6ljande:\n\n"
                         "- Instrumentet \xC3\xA4r fortfarande aktiverad.\n- Kabeln \xC3\xA4r "
                         "korrekt ansluten.\n- Korrekt COM-port har valts."));
}

TEST(MessageCatalogue, CannotDetectOverLanNamesTheHost) {
    MessageContext context = SerialPort(4);
    context.lanSelection = 1;
    context.lanHost = QStringLiteral("192.168.1.40");
    const QByteArray text = ShownText(QStringLiteral("Cannot detect"), context);
    EXPECT_EQ(text, QByteArray("Kan inte komma \xC3\xA5t LAN-instrumentet. Detta kan bero "
                               "p\xC3\xA5 att:\n\n- IP-adressen (192.168.1.40) \xC3\xA4r "
                               "felaktig.\n- n\xC3\xA4tverkskablarna inte \xC3\xA4r korrekt "
                               "anslutna. \n- en eller flera n\xC3\xA4tverksenheter har "
                               "konfigurerats felaktigt. "));
    EXPECT_FALSE(text.contains("COM"));

    context.lanSelection = 8;
    context.lanHost = QStringLiteral("tr58.lab");
    EXPECT_TRUE(ShownText(QStringLiteral("Cannot detect"), context).contains("(tr58.lab)"));
    context.lanSelection = 0;
    EXPECT_TRUE(ShownText(QStringLiteral("Cannot detect"), context).contains("COM4."));
}

TEST(MessageCatalogue, StylesAndTitle) {
    MessageContext context;
    context.title = QStringLiteral("Acme Logger");
    const struct {
        const char* key;
        MessageStyle style;
    } cases[] = {
        {"Cannot Change", MessageStyle::Exclamation},
        {"Change Settings", MessageStyle::Question},
        {"Stop Real", MessageStyle::Question},
        {"Real Time Disconnected", MessageStyle::Information},
        {"Communication Errors", MessageStyle::Critical},
        {"No Files", MessageStyle::Information},
        {"Cannot detect", MessageStyle::Exclamation},
        {"There is no COM", MessageStyle::Exclamation},
        {"Cannot autodetect indicator", MessageStyle::Exclamation},
        {"All reserved", MessageStyle::Exclamation},
        {"Cannot download", MessageStyle::Critical},
        {"EOF Disconnected", MessageStyle::Information},
        {"Wait Process", MessageStyle::Exclamation},
        {"File Deleted", MessageStyle::Critical},
        {"No Probe", MessageStyle::Exclamation},
        {"File Error", MessageStyle::Critical},
        {"Invalid File", MessageStyle::Critical},
        {"Cannot Savefile", MessageStyle::Critical},
        {"Invalid Date", MessageStyle::Critical},
        {"Result Limit", MessageStyle::Critical},
    };
    for (const auto& c : cases) {
        const auto box = ComposeMessage(QString::fromLatin1(c.key), context);
        ASSERT_TRUE(box.has_value()) << c.key;
        EXPECT_EQ(box->style, c.style) << c.key;
        EXPECT_EQ(box->yesNo, c.style == MessageStyle::Question) << c.key;
        EXPECT_EQ(box->title, QStringLiteral("Acme Logger")) << c.key;
        EXPECT_EQ(box->key, QString::fromLatin1(c.key));
        EXPECT_FALSE(box->text.isEmpty()) << c.key;
    }
}

TEST(MessageCatalogue, EmptyOrUnknownKeyShowsNothing) {
    Recorder recorder;
    recorder.answer = false;
    for (const char* raw :
         {"", "Communication errors", "communication Errors", "Bogus", " No Files"}) {
        QString key = QString::fromLatin1(raw);
        EXPECT_FALSE(ComposeMessage(key, MessageContext()).has_value()) << raw;
        EXPECT_TRUE(ShowMessage(key, MessageContext(), recorder)) << raw;
        EXPECT_EQ(key, QString::fromLatin1(raw));
    }
    EXPECT_TRUE(recorder.shown.isEmpty());
}

TEST(MessageCatalogue, QuestionsReturnTheAnswer) {
    for (const char* raw : {"Change Settings", "Stop Real"}) {
        Recorder yes;
        QString key = QString::fromLatin1(raw);
        EXPECT_TRUE(ShowMessage(key, MessageContext(), yes)) << raw;
        ASSERT_EQ(yes.shown.size(), 1);
        EXPECT_EQ(yes.shown.first().style, MessageStyle::Question);

        Recorder no;
        no.answer = false;
        EXPECT_FALSE(ShowMessage(key, MessageContext(), no)) << raw;
        EXPECT_EQ(no.shown.size(), 1);
        EXPECT_EQ(key, QString::fromLatin1(raw));  // the key stays
    }
    EXPECT_EQ(ShownText(QStringLiteral("Change Settings"), MessageContext()),
              QByteArray("Du t\xC3\xA4nker \xC3\xA4ndra realtidsf\xC3\xB6nstrets "
                         "inst\xC3\xA4llningar.\nDetta kommer att stoppa uppdateringen av "
                         "realtidsf\xC3\xB6nstret. Vill du forts\xC3\xA4tta?"));
}

TEST(MessageCatalogue, OkBoxesAreTrueWhateverThePresenterSays) {
    Recorder recorder;
    recorder.answer = false;  // e.g. a box closed with Esc
    QString key = QStringLiteral("Communication Errors");
    EXPECT_TRUE(ShowMessage(key, MessageContext(), recorder));
    EXPECT_EQ(recorder.shown.size(), 1);
    EXPECT_EQ(key, QStringLiteral("Communication Errors"));
}

TEST(MessageCatalogue, ResultLimitEmptiesTheKey) {
    Recorder recorder;
    QString key = QStringLiteral("Result Limit");
    EXPECT_TRUE(ShowMessage(key, MessageContext(), recorder));
    EXPECT_TRUE(key.isEmpty());
    ASSERT_EQ(recorder.shown.size(), 1);
    EXPECT_EQ(recorder.shown.first().key, QStringLiteral("Result Limit"));
}

TEST(MessageCatalogue, WaitProcessHasAText) {
    const auto box = ComposeMessage(QStringLiteral("Wait Process"), MessageContext());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->style, MessageStyle::Exclamation);
    EXPECT_FALSE(box->text.trimmed().isEmpty());
}

}  // namespace

TEST(MessageKeys, EveryKeyHasAMessage) {
    using namespace MessageKeys;
    MessageContext context;
    context.title = QStringLiteral("TR58 Link");
    for (const QString& key : {kAllReserved,
                               kCannotAutodetect,
                               kCannotChange,
                               kCannotDetect,
                               kCannotDownload,
                               kCannotOpenPort,
                               kCannotPrint,
                               kCannotSavefile,
                               kChangeSettings,
                               kCommunicationErrors,
                               kEofDisconnected,
                               kFileDeleted,
                               kFileError,
                               kFileIsFolder,
                               kFileUnreadable,
                               kInvalidDate,
                               kInvalidFile,
                               kLanNoAnswer,
                               kNoFiles,
                               kNoPrinter,
                               kNoProbe,
                               kPermissionDenied,
                               kRealTimeDisconnected,
                               kResultLimit,
                               kStopReal,
                               kThereIsNoCom,
                               kWaitProcess}) {
        const std::optional<MessageBoxSpec> box = ComposeMessage(key, context);
        ASSERT_TRUE(box.has_value()) << qPrintable(key);
        EXPECT_FALSE(box->text.isEmpty()) << qPrintable(key);
    }
}
