#pragma once

#include <QString>
#include <QTabBar>
#include <QTabWidget>

// The tab control sstSSTab with its tabs standing on the right. A caption turned on its side reads
// poorly and makes each tab as long as its whole caption; these tabs keep their captions upright,
// broken into two lines, so the three tabs also fit beside the low track grid.
namespace kestrova {

// A caption as it stands on its tab: the first half of its characters on one line, the rest under it.
QString StackedTabCaption(const QString& caption);

class SideTabBar final : public QTabBar {
    Q_OBJECT

public:
    explicit SideTabBar(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    // All tabs are as large as the largest caption needs, so they line up.
    QSize captionBlock() const;
};

class SideTabWidget final : public QTabWidget {
    Q_OBJECT

public:
    explicit SideTabWidget(QWidget* parent = nullptr);
};

} // namespace kestrova
