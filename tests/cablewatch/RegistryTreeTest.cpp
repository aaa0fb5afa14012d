#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "cablewatch/RegistryTree.h"

using cablewatch::RegistryTree;

namespace {

const QString kKey = QStringLiteral("\\HKEY_LOCAL_MACHINE\\SYSTEM\\Test\\Key");

}  // namespace

TEST(RegistryTree, KeysAndValuesCompareIgnoringCaseAndKeepTheirSpelling) {
    RegistryTree tree;
    tree.SetString(kKey, QStringLiteral("PortName"), QStringLiteral("COM5"));
    EXPECT_TRUE(tree.KeyExists(QStringLiteral("\\hkey_local_machine\\system\\TEST\\key")));
    EXPECT_TRUE(tree.KeyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM")));  // parents made
    EXPECT_EQ(tree.StringValue(QStringLiteral("HKEY_LOCAL_MACHINE\\system\\test\\KEY"),
                               QStringLiteral("portname")),
              QStringLiteral("COM5"));
    EXPECT_EQ(tree.ValueNames(kKey), QStringList{QStringLiteral("PortName")});
    EXPECT_EQ(tree.KeyName(QStringLiteral("hkey_local_machine\\system\\test\\key")),
              QStringLiteral("Key"));
    EXPECT_FALSE(tree.KeyExists(kKey + QStringLiteral("\\Missing")));
    EXPECT_FALSE(tree.Value(kKey, QStringLiteral("Missing")).has_value());
}

TEST(RegistryTree, SubKeysAreListedAlphabeticallyByNameOnly) {
    RegistryTree tree;
    for (const char* name : {"b-2", "B", "a\\deeper", "c", "A"}) tree.CreateKey(kKey + "\\" + name);
    // "a" and "A" are one key; the deeper key is not a direct sub-key.
    EXPECT_EQ(tree.SubKeyNames(kKey), (QStringList{QStringLiteral("a"), QStringLiteral("B"),
                                                   QStringLiteral("b-2"), QStringLiteral("c")}));
    EXPECT_TRUE(tree.SubKeyNames(kKey + QStringLiteral("\\none")).isEmpty());
}

TEST(RegistryTree, DwordReadsNumbersAndNumericTextOnly) {
    RegistryTree tree;
    tree.SetDword(kKey, QStringLiteral("ConfigFlags"), 0x41);
    tree.SetString(kKey, QStringLiteral("AsText"), QStringLiteral(" 7 "));
    tree.SetString(kKey, QStringLiteral("Word"), QStringLiteral("seven"));
    EXPECT_EQ(tree.DwordValue(kKey, QStringLiteral("configflags")), 0x41u);
    EXPECT_EQ(tree.DwordValue(kKey, QStringLiteral("AsText")), 7u);
    EXPECT_FALSE(tree.DwordValue(kKey, QStringLiteral("Word")).has_value());
    EXPECT_FALSE(tree.StringValue(kKey, QStringLiteral("ConfigFlags")).has_value());
}

TEST(RegistryTree, SavedFolderReadsBackTheSameTree) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RegistryTree tree;
    const QString odd = kKey + QStringLiteral("\\a/b %41 :*?");
    tree.SetString(odd, QStringLiteral("Quote \"x\""), QStringLiteral("back\\slash \"q\"\nline 2"));
    tree.SetDword(odd, QStringLiteral("Flags"), 0xfffffffe);
    tree.SetString(odd, QString(), QStringLiteral("default"));
    tree.CreateKey(kKey + QStringLiteral("\\.."));
    tree.CreateKey(kKey + QStringLiteral("\\Empty"));
    ASSERT_TRUE(tree.SaveToDirectory(dir.path()));

    // The ".." key is a folder of its own, not the parent.
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/HKEY_LOCAL_MACHINE/SYSTEM/Test/Key/%2E%2E"))
                    .isDir());
    const RegistryTree back = RegistryTree::LoadFromDirectory(dir.path());
    EXPECT_EQ(back.KeyCount(), tree.KeyCount());
    EXPECT_EQ(back.SubKeyNames(kKey), tree.SubKeyNames(kKey));
    EXPECT_EQ(back.StringValue(odd, QStringLiteral("Quote \"x\"")),
              QStringLiteral("back\\slash \"q\"\nline 2"));
    EXPECT_EQ(back.DwordValue(odd, QStringLiteral("Flags")), 0xfffffffeu);
    EXPECT_EQ(back.StringValue(odd, QString()), QStringLiteral("default"));
    EXPECT_TRUE(back.KeyExists(kKey + QStringLiteral("\\Empty")));
}

TEST(RegistryTree, HandWrittenValuesFileSkipsMalformedLines) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/HKEY_LOCAL_MACHINE/Dev");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/%values"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "\"Good\"=\"yes\"\n"
        "\"NoClose=\"x\"\n"
        "\"BadDword\"=dword:xyz\n"
        "\"TooLong\"=dword:123456789\n"
        "garbage\n"
        "\"Number\"=DWORD:0000000A\r\n");
    file.close();
    const RegistryTree tree = RegistryTree::LoadFromDirectory(dir.path());
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Dev");
    EXPECT_EQ(tree.StringValue(key, QStringLiteral("Good")), QStringLiteral("yes"));
    EXPECT_EQ(tree.DwordValue(key, QStringLiteral("Number")), 10u);
    EXPECT_EQ(tree.ValueNames(key),
              (QStringList{QStringLiteral("Good"), QStringLiteral("Number")}));
}

TEST(RegistryTree, MissingFolderGivesAnEmptyTree) {
    EXPECT_EQ(RegistryTree::LoadFromDirectory(QStringLiteral("/nonexistent/cablewatch")).KeyCount(),
              0);
}

TEST(RegistryTree, NameEscapingIsReversibleAndLeavesStrayPercentAlone) {
    for (const QString& name :
         {QStringLiteral("Vid_2A6F&Pid_0200"), QStringLiteral("a/b\\c%d"), QStringLiteral("."),
          QStringLiteral("%values"), QStringLiteral("tab\there")}) {
        const QString escaped = RegistryTree::EscapeName(name);
        EXPECT_FALSE(escaped.contains(QLatin1Char('/'))) << name.toStdString();
        EXPECT_NE(escaped, QStringLiteral("%values"));
        EXPECT_EQ(RegistryTree::UnescapeName(escaped), name) << name.toStdString();
    }
    EXPECT_EQ(RegistryTree::UnescapeName(QStringLiteral("50%")), QStringLiteral("50%"));
    EXPECT_EQ(RegistryTree::UnescapeName(QStringLiteral("%zz%4")), QStringLiteral("%zz%4"));
}
