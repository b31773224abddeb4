#pragma once

#include "console/test_application.h"
#include "data/temp_database.h"
#include "dialogs/dialog_protocol.h"
#include "startup/code_page.h"
#include "startup/fake_message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <gtest/gtest.h>

// A program folder with an empty register, its settings file, boxes answered by the test and a program
// end that only counts: what the dialog tests share.
namespace kestrova::test {

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    // A vehicle with its watch times; the other fields empty.
    void addVehicle(const QString& plate, const QString& phone, const QString& start = "N", const QString& end = "N") {
        m_db.db.InsertVehicle(0, plate, phone, QString(), QString(), QString(), QString(), QString(), QString(), start,
                              end, 1, true, QString());
    }

    QString folder() const { return m_db.folder.path(); }

    TempDatabase m_db;
    SettingsFile m_settings{m_db.folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    FakeMessageBox m_box;
    int m_programEnds = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_programEnds; }};
    DialogProtocol m_protocol;
};

} // namespace kestrova::test
