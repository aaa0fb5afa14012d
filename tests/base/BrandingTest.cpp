#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/Branding.h"

namespace {

class BrandingFile : public ::testing::Test {
protected:
    Branding Read(const QByteArray& contents) {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("tr58link.cfg")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();
        return ReadBranding(folder.path());
    }

    QTemporaryDir folder;
};

TEST_F(BrandingFile, MissingOrEmptyFileGivesNothing) {
    const Branding none = ReadBranding(folder.path());
    EXPECT_TRUE(none.APPNAME.isEmpty() && none.COPYRIGHT.isEmpty() && none.ABOUT.isEmpty());
    const Branding empty = Read(QByteArray());
    EXPECT_TRUE(empty.APPNAME.isEmpty() && empty.COPYRIGHT.isEmpty() && empty.ABOUT.isEmpty());
    EXPECT_EQ(ApplicationTitle(empty), QStringLiteral("TR58 Link"));
}

TEST_F(BrandingFile, ThreeKeysRead) {
    const Branding b = Read(
        "[BRANDING]\r\nAPPNAME=Acme Logger\r\nCOPYRIGHT=(c) Acme\r\n"
        "ABOUT=About Acme\r\n");
    EXPECT_EQ(b.APPNAME, QStringLiteral("Acme Logger"));
    EXPECT_EQ(b.COPYRIGHT, QStringLiteral("(c) Acme"));
    EXPECT_EQ(b.ABOUT, QStringLiteral("About Acme"));
    EXPECT_EQ(ApplicationTitle(b), QStringLiteral("Acme Logger"));
}

TEST_F(BrandingFile, BlankBeforeEqualsMakesAnotherKey) {
    const Branding b = Read("[BRANDING]\nAPPNAME =Acme\nABOUT=x\n");
    EXPECT_TRUE(b.APPNAME.isEmpty());
    EXPECT_EQ(b.ABOUT, QStringLiteral("x"));
    EXPECT_EQ(ApplicationTitle(b), QStringLiteral("TR58 Link"));
}

TEST_F(BrandingFile, KeysAreCaseInsensitiveAndValuesKeptWhole) {
    const Branding b = Read("[BRANDING]\nappName=  a=b=c  \nCopyright=\n");
    EXPECT_EQ(b.APPNAME, QStringLiteral("  a=b=c  "));
    EXPECT_TRUE(b.COPYRIGHT.isEmpty());
}

TEST_F(BrandingFile, HeaderInLowerCaseAndAfterEmptyLines) {
    EXPECT_EQ(Read("[branding]\nAPPNAME=lower\n").APPNAME, QStringLiteral("lower"));
    EXPECT_EQ(Read("\r\n\r\n[BRANDING]\r\n\r\nAPPNAME=later\r\n").APPNAME, QStringLiteral("later"));
}

TEST_F(BrandingFile, FileNotStartingWithTheHeaderIsIgnored) {
    EXPECT_TRUE(Read("; branding\n[BRANDING]\nAPPNAME=x\n").APPNAME.isEmpty());
    EXPECT_TRUE(Read("APPNAME=x\n").APPNAME.isEmpty());
    // A header with blanks around it is not the header.
    EXPECT_TRUE(Read(" [BRANDING]\nAPPNAME=x\n").APPNAME.isEmpty());
}

TEST_F(BrandingFile, LineWithoutEqualsEndsReading) {
    const Branding b = Read("[BRANDING]\nAPPNAME=first\n[OTHER]\nABOUT=never\n");
    EXPECT_EQ(b.APPNAME, QStringLiteral("first"));
    EXPECT_TRUE(b.ABOUT.isEmpty());
}

TEST_F(BrandingFile, ReadingStopsOnceAllThreeAreSet) {
    const Branding b = Read(
        "[BRANDING]\nABOUT=a\nOTHER=ignored\nCOPYRIGHT=c\nAPPNAME=n\n"
        "APPNAME=changed\nABOUT=changed\n");
    EXPECT_EQ(b.APPNAME, QStringLiteral("n"));
    EXPECT_EQ(b.ABOUT, QStringLiteral("a"));
    EXPECT_EQ(b.COPYRIGHT, QStringLiteral("c"));
}

TEST_F(BrandingFile, LaterEntryOverridesWhileIncomplete) {
    const Branding b = Read("[BRANDING]\nAPPNAME=one\nAPPNAME=two\n");
    EXPECT_EQ(b.APPNAME, QStringLiteral("two"));
}

TEST_F(BrandingFile, LastLineWithoutLineEnd) {
    EXPECT_EQ(Read("[BRANDING]\nABOUT=tail").ABOUT, QStringLiteral("tail"));
}

TEST_F(BrandingFile, Utf8AndWindows1252Text) {
    // UTF-8 with a byte-order mark.
    EXPECT_EQ(Read("\xEF\xBB\xBF[BRANDING]\nAPPNAME=M\xC3\xA4tdata\n").APPNAME,
              QStringLiteral("Mätdata"));
    // Bytes that are not UTF-8 are the Windows code page.
    EXPECT_EQ(Read("[BRANDING]\nCOPYRIGHT=\xA9 G\xF6ran \x80\n").COPYRIGHT,
              QStringLiteral("© Göran €"));
}

}  // namespace
