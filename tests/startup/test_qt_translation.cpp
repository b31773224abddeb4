#include "console/test_application.h"
#include "startup/qstring_printer.h"
#include "startup/qt_translation.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;

namespace {

// The texts of a message box's buttons Yes, No and OK, access keys marked with "&".
QStringList ButtonTexts() {
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
            box.button(QMessageBox::Ok)->text()};
}

} // namespace

TEST(QtTranslation, Installed_MessageBoxButtonsReadInChinese_UntilItEnds) {
    test::TestApplication();
    {
        const QtTranslation translation;
        ASSERT_TRUE(translation.installed())
            << "qtbase_zh_TW.qm missing from " << QtTranslation::defaultFolder().toStdString();
        EXPECT_EQ(ButtonTexts(), QStringList({"是(&Y)", "否(&N)", "確定"}));
    }
    EXPECT_EQ(ButtonTexts(), QStringList({"&Yes", "&No", "OK"}));
}

TEST(QtTranslation, CatalogueMissing_NothingInstalled_ButtonsStayEnglish) {
    test::TestApplication();
    const QTemporaryDir empty;
    const QtTranslation translation(empty.path());
    EXPECT_FALSE(translation.installed());
    EXPECT_EQ(ButtonTexts(), QStringList({"&Yes", "&No", "OK"}));
}
