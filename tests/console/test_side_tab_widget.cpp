#include "console/side_tab_widget.h"
#include "console/test_application.h"

#include <QCoreApplication>
#include <QImage>
#include <QPalette>
#include <QTabBar>
#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrova;

namespace {

// How many pixels of the rectangle lean clearly towards the colour's one channel (0 red, 1 green).
int pixelsLeaningTo(const QImage& image, const QRect& rect, int channel) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int lean =
                channel == 0 ? c.red() - std::max(c.green(), c.blue()) : c.green() - std::max(c.red(), c.blue());
            count += lean > 60 ? 1 : 0;
        }
    }
    return count;
}

TEST(SideTabBar, SwitchedOffTabs_ShowTheirCaptionsInTheDisabledColour) {
    test::TestApplication();
    SideTabWidget tabs;
    QPalette palette = tabs.palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::green);
    tabs.setPalette(palette);
    for (const char* caption : {"車輛位置", "追蹤記錄", "航跡查詢"})
        tabs.addTab(new QWidget, QString::fromUtf8(caption));
    // As in track query: the first two switched off, the third current.
    tabs.setTabEnabled(0, false);
    tabs.setTabEnabled(1, false);
    tabs.setCurrentIndex(2);
    tabs.resize(300, 300);
    tabs.show();
    QCoreApplication::processEvents();

    QTabBar* bar = tabs.tabBar();
    const QImage image = bar->grab().toImage();
    for (int i = 0; i < bar->count(); ++i) {
        SCOPED_TRACE(i);
        const QRect tab = bar->tabRect(i);
        const bool enabled = bar->isTabEnabled(i);
        EXPECT_EQ(pixelsLeaningTo(image, tab, 0) > 0, enabled);
        EXPECT_EQ(pixelsLeaningTo(image, tab, 1) > 0, !enabled);
    }
}

} // namespace
