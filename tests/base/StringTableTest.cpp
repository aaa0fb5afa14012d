#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "base/StringTable.h"

namespace {

// The ids this build carries, plus 5086, which the message catalogue needs, and
// the port messages of our own.
QList<int> ExpectedIds() {
    QList<int> ids;
    const auto add = [&ids](int first, int last) {
        for (int id = first; id <= last; ++id) ids.append(id);
    };
    add(1000, 1038);
    add(1040, 1058);
    add(1101, 1113);
    add(5002, 5074);
    add(5076, 5102);  // 5086 included
    add(6000, 6022);
    add(6030, 6036);
    add(6040, 6059);
    add(6065, 6066);
    add(6070, 6073);
    add(6080, 6088);
    add(6090, 6097);
    return ids;
}

QByteArray Utf8(int id) {
    return StringTable::Text(id).toUtf8();
}

TEST(StringTable, EveryIdOfTheBuildHasText) {
    for (const int id : ExpectedIds()) {
        EXPECT_TRUE(StringTable::Contains(id)) << id;
        EXPECT_FALSE(StringTable::Text(id).isEmpty()) << id;
    }
    EXPECT_EQ(StringTable::Ids(), ExpectedIds());
}

TEST(StringTable, IdsOutsideTheBuildAreAbsent) {
    for (const int id : {0,    999,  1039, 1059, 1100, 1114, 5001, 5075, 5103, 5999, 6023,
                         6029, 6037, 6060, 6067, 6069, 6074, 6079, 6089, 6098, -1,   65535}) {
        EXPECT_FALSE(StringTable::Contains(id)) << id;
        EXPECT_TRUE(StringTable::Text(id).isEmpty()) << id;
    }
}

TEST(StringTable, MenuCaptionsWithAccelerators) {
    EXPECT_EQ(Utf8(1000), QByteArray("&Arkiv"));
    EXPECT_EQ(Utf8(1001), QByteArray("&\xC3\x96ppna..."));
    EXPECT_EQ(Utf8(1002), QByteArray("St&\xC3\xA4ng"));
    EXPECT_EQ(Utf8(1004), QByteArray("Spara so&m/Exportera..."));
    EXPECT_EQ(Utf8(1019), QByteArray("&Realtidsf\xC3\xB6nster"));
    EXPECT_EQ(Utf8(1026), QByteArray("&\xC3\x96verlappande"));
    EXPECT_EQ(Utf8(1034), QByteArray("&Om TR58 Link"));
    EXPECT_EQ(Utf8(1058), QByteArray("S&toppa realtidsf\xC3\xB6nster"));
    EXPECT_EQ(Utf8(1113), QByteArray("N\xC3\xA4tverk (LAN)..."));
    // Every menu caption but the window list carries exactly one accelerator.
    for (int id = 1000; id <= 1034; ++id) {
        if (id == 1030) continue;
        const QString caption = StringTable::Text(id);
        EXPECT_EQ(caption.count(u'&'), 1) << id;
        EXPECT_FALSE(caption.trimmed().endsWith(u'&')) << id;
    }
}

TEST(StringTable, SaveCaptionIsFollowedByBlanksOnly) {
    const QString save = StringTable::Text(1003);
    ASSERT_TRUE(save.startsWith(QStringLiteral("&Spara")));
    const QString rest = save.mid(6);
    EXPECT_FALSE(rest.isEmpty());
    for (const QChar ch : rest) EXPECT_EQ(ch, u' ');
}

TEST(StringTable, PortItemsNumberOneToSixteen) {
    const QStringList expected = {"COM&1", "COM&2", "COM&3", "COM&4",  "COM&5", "COM&6",
                                  "COM&7", "COM&8", "COM&9", "COM1&0", "COM11", "COM12",
                                  "COM13", "COM14", "COM15", "COM16"};
    QStringList items;
    for (int id = 1051; id <= 1054; ++id) items.append(StringTable::Text(id));
    for (int id = 1101; id <= 1112; ++id) items.append(StringTable::Text(id));
    EXPECT_EQ(items, expected);
    EXPECT_EQ(StringTable::Text(1050), QStringLiteral("&Autodetektera"));
}

TEST(StringTable, DialogAndStatusTexts) {
    EXPECT_EQ(Utf8(5020), QByteArray("Uppdaterings-\n&intervall:"));
    EXPECT_EQ(Utf8(5029), QByteArray("Instrumentinformation"));
    EXPECT_EQ(Utf8(5042), QByteArray("Version: 1.16"));
    EXPECT_EQ(Utf8(5054), QByteArray("Klar."));
    EXPECT_EQ(Utf8(5057), QByteArray("Sparar fil '"));
    EXPECT_EQ(Utf8(5061), QByteArray("\xC3\x96ppnar fil '"));
    EXPECT_EQ(Utf8(5068), QByteArray("Vill du spara '"));
    EXPECT_EQ(Utf8(5099), QByteArray("(Ingen m\xC3\xA4tprob ansluten)"));
    EXPECT_EQ(Utf8(6008), QByteArray("Namnl\xC3\xB6s"));
    EXPECT_EQ(Utf8(6007), QByteArray("(Realtidsf\xC3\xB6nster)"));
    EXPECT_EQ(Utf8(6016), QByteArray("Kan ej raderas"));
    EXPECT_EQ(Utf8(6018), QByteArray("Datum/tids-&intervall fr\xC3\xA5n vald(a) fil(er):"));
}

TEST(StringTable, MessagesWithLineFeeds) {
    EXPECT_EQ(Utf8(5073), QByteArray("Ett kommunikationsfel intr\xC3\xA4"
                                     "ffade. F\xC3\xB6rs\xC3\xB6k p\xC3\xA5 nytt."));
    EXPECT_EQ(Utf8(5085), QByteArray("Realtidsf\xC3\xB6nstret har nu maximalt antal datapunkter "
                                     "(65000).\nRealtidsf\xC3\xB6nstret har stoppats."));
    EXPECT_EQ(Utf8(6020),
              QByteArray("Det angivna datum/tidsintervallet inneh\xC3\xA5ller fler \xC3\xA4n "
                         "65000 datapunkter.\n Endast de f\xC3\xB6rsta 65000 datapunkterna "
                         "laddas ner."));
    EXPECT_EQ(StringTable::Text(5095).count(u'\n'), 5);
    EXPECT_EQ(StringTable::Text(5069).count(u'\n'), 4);
}

TEST(StringTable, OnlyTheStoredTextsHaveOuterBlanks) {
    QSet<int> trailing;
    QSet<int> leading;
    for (const int id : StringTable::Ids()) {
        const QString text = StringTable::Text(id);
        EXPECT_FALSE(text.contains(u'\r')) << id;
        EXPECT_FALSE(text.contains(u'\t')) << id;
        if (text.endsWith(u' ')) trailing.insert(id);
        if (text.startsWith(u' ')) leading.insert(id);
    }
    EXPECT_EQ(trailing, (QSet<int>{1003, 6033, 6034}));
    EXPECT_EQ(leading, (QSet<int>{5079}));
}

}  // namespace

// ---------------------------------------------------------------------------
// The English table beside the Swedish one.

namespace {

const QString kSv = QStringLiteral("sv");
const QString kEn = QStringLiteral("en");

// The %1 .. %9 of a text, each as often as it occurs.
QStringList Placeholders(const QString& text) {
    QStringList found;
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    for (auto it = placeholder.globalMatch(text); it.hasNext();) found << it.next().captured();
    found.sort();
    return found;
}

// File dialog patterns ("*.t58") a text names.
QStringList Patterns(const QString& text) {
    QStringList found;
    static const QRegularExpression pattern(QStringLiteral("\\*\\.[A-Za-z0-9]+"));
    for (auto it = pattern.globalMatch(text); it.hasNext();) found << it.next().captured();
    return found;
}

// Where the code splices a port number, a file name or a host into a text:
// right after a closing "COM", "'" or "(", and before a ")" that opens the
// next text. Both languages must end and begin alike there.
QString SpliceEdges(const QString& text) {
    QString edges;
    for (const char* end : {"COM", "'", "("})
        if (text.endsWith(QLatin1String(end))) edges += QStringLiteral("ends ") + end;
    if (text.startsWith(u')')) edges += QStringLiteral(" begins )");
    return edges;
}

}  // namespace

TEST(StringTableLanguages, SwedishIsTheTableUntilOneIsChosen) {
    EXPECT_EQ(StringTable::Languages(), (QStringList{kSv, kEn}));
    EXPECT_EQ(StringTable::Language(), kSv);
    EXPECT_EQ(StringTable::Text(1000), StringTable::Text(kSv, 1000));
}

TEST(StringTableLanguages, EnglishHasEveryIdOfTheSwedishTableAndNoOther) {
    EXPECT_EQ(StringTable::Ids(kEn), StringTable::Ids(kSv));
    EXPECT_EQ(StringTable::Ids(kSv), ExpectedIds());
    for (const int id : ExpectedIds()) EXPECT_FALSE(StringTable::Text(kEn, id).isEmpty()) << id;
    EXPECT_TRUE(StringTable::Ids(QStringLiteral("de")).isEmpty());
    EXPECT_TRUE(StringTable::Text(QStringLiteral("de"), 1000).isEmpty());
    EXPECT_TRUE(StringTable::Text(kEn, 6098).isEmpty());
}

TEST(StringTableLanguages, EachEnglishTextKeepsItsLinesPlaceholdersAndSplices) {
    for (const int id : StringTable::Ids(kSv)) {
        const QString sv = StringTable::Text(kSv, id);
        const QString en = StringTable::Text(kEn, id);
        EXPECT_EQ(en.count(u'\n'), sv.count(u'\n')) << id << ": " << qPrintable(en);
        EXPECT_EQ(Placeholders(en), Placeholders(sv)) << id << ": " << qPrintable(en);
        EXPECT_EQ(Patterns(en), Patterns(sv)) << id << ": " << qPrintable(en);
        EXPECT_EQ(SpliceEdges(en), SpliceEdges(sv)) << id << ": " << qPrintable(en);
        // A caption with an accelerator keeps one; one without gets none.
        EXPECT_EQ(en.count(u'&'), sv.count(u'&')) << id << ": " << qPrintable(en);
        EXPECT_FALSE(en.endsWith(u'&')) << id;
    }
}

TEST(StringTableLanguages, EnglishIsTranslatedExceptWhereBothLanguagesWriteAlike) {
    // Port names, numbers, "OK" and words both languages share.
    const QSet<int> shared = {1011, 1043, 1045, 1051, 1052, 1053, 1054, 1101, 1102,
                              1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111,
                              1112, 5012, 5014, 5015, 5023, 5031, 5042, 5096, 6014};
    static const QRegularExpression swedishLetters(QStringLiteral("[åäöÅÄÖ]"));
    QSet<int> same;
    for (const int id : StringTable::Ids(kSv)) {
        const QString en = StringTable::Text(kEn, id);
        EXPECT_FALSE(en.contains(swedishLetters)) << id << ": " << qPrintable(en);
        if (en == StringTable::Text(kSv, id)) same.insert(id);
    }
    EXPECT_EQ(same, shared);
}

TEST(StringTableLanguages, EnglishHasNoStrayBlanks) {
    QSet<int> trailing;
    QSet<int> leading;
    for (const int id : StringTable::Ids(kEn)) {
        const QString text = StringTable::Text(kEn, id);
        EXPECT_FALSE(text.contains(u'\r')) << id;
        EXPECT_FALSE(text.contains(u'\t')) << id;
        EXPECT_FALSE(text.contains(QStringLiteral("  "))) << id << ": " << qPrintable(text);
        if (text.endsWith(u' ')) trailing.insert(id);
        if (text.startsWith(u' ')) leading.insert(id);
    }
    EXPECT_TRUE(trailing.isEmpty()) << "a menu or message needs no padding in Qt";
    // " port on this computer": the port number comes right before it.
    EXPECT_EQ(leading, QSet<int>{5079});
}

TEST(StringTableLanguages, EnglishUsesTheUsualTermsOfArt) {
    const auto en = [](int id) { return StringTable::Text(kEn, id); };
    EXPECT_EQ(en(1004), QStringLiteral("Save &As/Export..."));
    EXPECT_EQ(en(1019), QStringLiteral("&Real-time Window"));
    EXPECT_EQ(en(1021), QStringLiteral("&Download Files..."));
    EXPECT_EQ(en(1024), QStringLiteral("Device &Information"));
    EXPECT_EQ(en(5029), QStringLiteral("Device Information"));
    EXPECT_EQ(en(1007), QStringLiteral("E&xit"));
    EXPECT_EQ(en(1003), QStringLiteral("&Save"));
    // Qt's standard buttons as Qt itself writes them in English.
    EXPECT_EQ(en(6070), QStringLiteral("&Yes"));
    EXPECT_EQ(en(6071), QStringLiteral("&No"));
    EXPECT_EQ(en(5024), QStringLiteral("Cancel"));
    EXPECT_EQ(en(6072), QStringLiteral("Close"));
}

TEST(StringTableLanguages, AChosenLanguageIsWhatTextReads) {
    ASSERT_TRUE(StringTable::SetLanguage(kEn));
    EXPECT_EQ(StringTable::Language(), kEn);
    EXPECT_EQ(StringTable::Text(1000), QStringLiteral("&File"));
    EXPECT_EQ(StringTable::Ids(), StringTable::Ids(kEn));
    EXPECT_FALSE(StringTable::SetLanguage(QStringLiteral("de")));
    EXPECT_EQ(StringTable::Language(), kEn) << "an unknown language changes nothing";
    ASSERT_TRUE(StringTable::SetLanguage(kSv));
    EXPECT_EQ(StringTable::Text(1000), QStringLiteral("&Arkiv"));
}
