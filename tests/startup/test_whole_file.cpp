#include "startup/whole_file.h"

#include "ordinary_user.h"
#include "qstring_printer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Entered by the ordinary user too.
        SetMode(m_folder.path(), 0755);
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    void putFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray fileBytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    ino_t inode(const QString& name) const {
        struct stat info {};
        return ::stat(QFile::encodeName(path(name)).constData(), &info) == 0 ? info.st_ino : 0;
    }

    QStringList entries() const {
        QStringList names = QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(WholeFileTest, WritableFolder_ReplacesTheFileByRename) {
    putFile("Kestrova.log", "old");
    const ino_t before = inode("Kestrova.log");
    QString error;

    ASSERT_TRUE(WriteWholeFile(path("Kestrova.log"), "new text", error)) << error.toStdString();

    EXPECT_EQ(fileBytes("Kestrova.log"), "new text");
    EXPECT_NE(inode("Kestrova.log"), before) << "a new file took the old one's name";
    EXPECT_EQ(entries(), QStringList{"Kestrova.log"});
}

TEST_F(WholeFileTest, FolderNotWritable_WritesTheWritableFileInPlace) {
    putFile("Kestrova.log", "old text, longer than the new");
    putFile("Locked.ini", "kept");
    SetMode(path("Kestrova.log"), 0666);
    SetMode(path("Locked.ini"), 0444);
    const ino_t before = inode("Kestrova.log");
    const Permissions readOnly(m_folder.path(), 0555);
    const OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }
    QString error;

    ASSERT_TRUE(WriteWholeFile(path("Kestrova.log"), "new", error)) << error.toStdString();
    EXPECT_EQ(fileBytes("Kestrova.log"), "new");
    EXPECT_EQ(inode("Kestrova.log"), before);

    // Neither a new file nor a file without write permission can be written there.
    EXPECT_FALSE(WriteWholeFile(path("New.ini"), "x", error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteWholeFile(path("Locked.ini"), "x", error));
    EXPECT_EQ(fileBytes("Locked.ini"), "kept");
    EXPECT_EQ(entries(), (QStringList{"Kestrova.log", "Locked.ini"}));
}

TEST_F(WholeFileTest, RemoveWriteLeftovers_RemovesOnlyTheWritesOwnTemporaryFiles) {
    const QStringList leftovers = {"Kestrova.ini.qWzRtY", "Kestrova.ini.AbCdEf", "Kestrova.log.Xyzabc"};
    const QStringList others = {"Kestrova.ini",        "Kestrova.log",        "Kestrova.ini.backup",
                                "Kestrova.ini.BACKUP", "Kestrova.ini.AbCdE1", "Kestrova.ini.AbCdEfG",
                                "Kestrova.ini.AbCdE",  "kestrova.ini.AbCdEf", "Other.ini.AbCdEf",
                                "Kestrova.iniXAbCdEf"};
    for (const QString& name : leftovers + others) {
        putFile(name, "[Settings]\r\nCommPort=");
    }
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("Kestrova.log.QwErTy"));

    RemoveWriteLeftovers(path("Kestrova.ini"));
    RemoveWriteLeftovers(path("Kestrova.log"));

    QStringList expected = others;
    expected << "Kestrova.log.QwErTy";
    expected.sort();
    EXPECT_EQ(entries(), expected);
}
