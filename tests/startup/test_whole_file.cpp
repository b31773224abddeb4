#include "startup/whole_file.h"

#include "ordinary_user.h"
#include "qstring_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/file.h>
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

    mode_t mode(const QString& name) const {
        struct stat info {};
        return ::stat(QFile::encodeName(path(name)).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
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

TEST_F(WholeFileTest, WritableFolder_ReplacesTheFileByRename_KeepingItsPermissions) {
    putFile("Kestrova.log", "old");
    SetMode(path("Kestrova.log"), 0640);
    const ino_t before = inode("Kestrova.log");
    QString error;

    ASSERT_TRUE(WriteWholeFile(path("Kestrova.log"), "new text", error)) << error.toStdString();

    EXPECT_EQ(fileBytes("Kestrova.log"), "new text");
    EXPECT_NE(inode("Kestrova.log"), before) << "a new file took the old one's name";
    EXPECT_EQ(mode("Kestrova.log"), 0640);
    EXPECT_EQ(entries(), QStringList{"Kestrova.log"});
}

TEST_F(WholeFileTest, Link_TheLinkedFileIsReplacedAndTheLinkStays) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("real"));
    putFile("real/Kestrova.ini", "old");
    putFile("real/Kestrova.ini.kestrova-tmp-k1LLed", "left by a killed write");
    ASSERT_TRUE(QFile::link(path("real/Kestrova.ini"), path("Kestrova.ini")));
    QString error;

    ASSERT_TRUE(WriteWholeFile(path("Kestrova.ini"), "new", error)) << error.toStdString();
    RemoveWriteLeftovers(path("Kestrova.ini"));

    EXPECT_TRUE(QFileInfo(path("Kestrova.ini")).isSymLink());
    EXPECT_EQ(fileBytes("real/Kestrova.ini"), "new");
    EXPECT_EQ(QDir(path("real")).entryList(QDir::Files), QStringList{"Kestrova.ini"});
}

TEST_F(WholeFileTest, ReadOnlyFileInAWritableFolder_IsNotReplaced) {
    putFile("Kestrova.ini", "kept");
    SetMode(path("Kestrova.ini"), 0444);
    const Permissions writable(m_folder.path(), 0777);
    const OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }
    QString error;

    EXPECT_FALSE(WriteWholeFile(path("Kestrova.ini"), "new", error));
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(fileBytes("Kestrova.ini"), "kept");
    EXPECT_EQ(entries(), QStringList{"Kestrova.ini"});
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

    EXPECT_FALSE(WriteWholeFile(path("Kestrova.log"), "refused", error, InPlaceWrite::Refused));
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EACCES)));
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
    const QStringList leftovers = {"Kestrova.ini.kestrova-tmp-qWzRtY", "Kestrova.ini.kestrova-tmp-abcdef",
                                   "Kestrova.log.kestrova-tmp-X9Z0A1", "Kestrova.log.kestrova-tmp-123456"};
    // A person's names, the temporary names of other programs, and near misses of the write's own.
    const QStringList others = {"Kestrova.ini",
                                "Kestrova.log",
                                "Kestrova.ini.Backup",
                                "Kestrova.ini.backup",
                                "Kestrova.log.Friday",
                                "Kestrova.log.Monday",
                                "Kestrova.ini.qWzRtY",
                                "Kestrova.ini.kestrova-tmp-AbCdE",
                                "Kestrova.ini.kestrova-tmp-AbCdEfG",
                                "Kestrova.ini.kestrova-tmp-AbC-Ef",
                                "Kestrova.ini.Kestrova-Tmp-AbCdEf",
                                "kestrova.ini.kestrova-tmp-AbCdEf",
                                "Other.ini.kestrova-tmp-AbCdEf",
                                "Kestrova.inikestrova-tmp-AbCdEf",
                                "Kestrova.ini.kestrova-tmp-held01"};
    for (const QString& name : leftovers + others) {
        putFile(name, "[Settings]\r\nCommPort=");
    }
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("Kestrova.log.kestrova-tmp-QwErTy"));
    ASSERT_TRUE(QFile::link(path("Kestrova.ini.backup"), path("Kestrova.ini.kestrova-tmp-L1nked")));
    // A write under way in another instance holds its file.
    QFile held(path("Kestrova.ini.kestrova-tmp-held01"));
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);

    RemoveWriteLeftovers(path("Kestrova.ini"));
    RemoveWriteLeftovers(path("Kestrova.log"));

    QStringList expected = others;
    expected << "Kestrova.log.kestrova-tmp-QwErTy"
             << "Kestrova.ini.kestrova-tmp-L1nked";
    expected.sort();
    EXPECT_EQ(entries(), expected);
}
