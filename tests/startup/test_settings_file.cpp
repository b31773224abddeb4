#include "startup/settings_file.h"

#include "qstring_printer.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kestrova::CodePage;
using kestrova::SettingsFile;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QByteArray fileBytes() const {
        QFile file(m_settings.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void putFile(const QByteArray& bytes) const {
        QFile file(m_settings.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_folder;
    SettingsFile m_settings{m_folder.path(), CodePage("CP950")};
};

} // namespace

TEST_F(SettingsFileTest, MissingFile_ReadsEmptyAndWriteCreatesIt) {
    EXPECT_EQ(m_settings.filePath(), QDir(m_folder.path()).filePath("Kestrova.ini"));
    EXPECT_EQ(m_settings.GetIniString("Settings", "CommPort"), "");
    EXPECT_FALSE(QFile::exists(m_settings.filePath()));
    EXPECT_TRUE(m_settings.WriteIniString("Settings", "CommPort", "3"));
    EXPECT_EQ(fileBytes(), "[Settings]\r\nCommPort=3\r\n");
    EXPECT_EQ(m_settings.GetIniString("settings", "COMMPORT"), "3");
}

TEST_F(SettingsFileTest, Writes_KeepForeignLinesAndLeaveNoFileBehind) {
    putFile("; call settings\n[Settings]\nCommPort=1\n\n[Nv5]\nMap=town.mbtiles\n");
    EXPECT_TRUE(m_settings.WriteIniString("Settings", "CommPort", "4"));
    EXPECT_TRUE(m_settings.WriteIniString("Settings", "Velocity", "1"));
    EXPECT_TRUE(m_settings.WriteIniString("Search", "VehicleNumber", QStringLiteral("ABC-123 中")));
    EXPECT_EQ(fileBytes(), "; call settings\n[Settings]\nCommPort=4\r\nVelocity=1\r\n\n[Nv5]\nMap=town.mbtiles\n"
                           "[Search]\r\nVehicleNumber=ABC-123 \xA4\xA4\r\n");
    EXPECT_EQ(m_settings.GetIniString("Search", "VehicleNumber"), QStringLiteral("ABC-123 中"));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"Kestrova.ini"});
}

TEST_F(SettingsFileTest, EachRead_SeesTheFileAsItIsNow) {
    putFile("[Zoom]\r\n0=12\r\n");
    EXPECT_EQ(m_settings.GetIniString("Zoom", "0"), "12");
    putFile("[Zoom]\r\n0=9\r\n");
    EXPECT_EQ(m_settings.GetIniString("Zoom", "0"), "9");
    QFile::remove(m_settings.filePath());
    EXPECT_EQ(m_settings.GetIniString("Zoom", "0"), "");
}

TEST_F(SettingsFileTest, EmptyValue_KeepsTheKeyAndReadsEmpty) {
    ASSERT_TRUE(m_settings.WriteIniString("Export", "FileName", "/tmp/a.txt"));
    ASSERT_TRUE(m_settings.WriteIniString("Export", "FileName", ""));
    EXPECT_EQ(fileBytes(), "[Export]\r\nFileName=\r\n");
    EXPECT_EQ(m_settings.GetIniString("Export", "FileName"), "");
}

TEST_F(SettingsFileTest, LongValue_ReadsBackCutTo255Bytes) {
    const QString longText = QString(250, 'x') + QStringLiteral("中文中文");
    ASSERT_TRUE(m_settings.WriteIniString("Export", "FileName", longText));
    EXPECT_EQ(m_settings.GetIniString("Export", "FileName"), QString(250, 'x') + QStringLiteral("中文"));
}

TEST_F(SettingsFileTest, UnusableFile_ReadsEmptyAndWriteFails) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("Kestrova.ini"));
    EXPECT_EQ(m_settings.GetIniString("Settings", "CommPort"), "");
    EXPECT_FALSE(m_settings.WriteIniString("Settings", "CommPort", "3"));

    const SettingsFile nowhere(m_folder.filePath("no/such/folder"), CodePage("UTF-8"));
    EXPECT_EQ(nowhere.GetIniString("Settings", "CommPort"), "");
    EXPECT_FALSE(nowhere.WriteIniString("Settings", "CommPort", "3"));
}

TEST_F(SettingsFileTest, ValueWithLineBreak_RefusedAndFileUnchanged) {
    putFile("[Export]\r\nFileName=a\r\n");
    EXPECT_FALSE(m_settings.WriteIniString("Export", "FileName", "b\n[Settings]\nCommPort=x"));
    EXPECT_EQ(fileBytes(), "[Export]\r\nFileName=a\r\n");
}
