#include "console/main_toolbar.h"

#include "console/toolbar_button_accessible.h"
#include "console/toolbar_design.h"
#include "startup/runtime_error.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QIcon>
#include <QLayout>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <numeric>

namespace kestrova {

std::vector<int> FitButtonWidths(const std::vector<int>& natural, const std::vector<int>& tight, int room) {
    const long long wanted = std::accumulate(natural.begin(), natural.end(), 0LL);
    if (wanted <= room)
        return natural;
    const long long least = std::accumulate(tight.begin(), tight.end(), 0LL);
    const long long spare = std::max(0LL, room - least);
    const long long givable = wanted - least;
    std::vector<int> widths(natural.size());
    for (std::size_t i = 0; i < natural.size(); ++i) {
        const long long give = std::max(0, natural[i] - tight[i]);
        widths[i] = tight[i] + static_cast<int>(givable > 0 ? give * spare / givable : 0);
    }
    return widths;
}

MainToolbar::MainToolbar(const QString& programFolder, ToolbarActions actions, QWidget* parent)
    : QToolBar(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("tblToolbar"));
    // Every button stays visible all the time: the bar cannot be moved away, floated or switched off.
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));

    const QDir folder(programFolder);
    // Group buttons side by side form one group; a separator or a button of another style ends it.
    QActionGroup* group = nullptr;
    for (const ToolbarEntry& entry : kToolbarDesign) {
        if (entry.Style == ToolbarButtonStyle::Separator) {
            addSeparator();
            group = nullptr;
            continue;
        }
        QAction* action = addAction(QIcon(folder.filePath(toolbarPicturePath(entry.Image))), entry.Caption.toString());
        action->setObjectName(entry.Key.toString());
        if (entry.Style == ToolbarButtonStyle::ButtonGroup) {
            if (group == nullptr) {
                group = new QActionGroup(this);
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
            }
            action->setCheckable(true);
            group->addAction(action);
        } else {
            group = nullptr;
            action->setCheckable(entry.Style == ToolbarButtonStyle::Check);
        }
        action->setChecked(entry.Pressed);
        action->setEnabled(entry.Enabled);
        m_buttons.insert(action->objectName(), action);

        auto* button = qobject_cast<QToolButton*>(widgetForAction(action));
        if (button == nullptr)
            continue;
        m_toolButtons.append(button);
        ToolbarButtonAccessible::install(button);
    }

    connect(this, &QToolBar::actionTriggered, this,
            [this](QAction* action) { tblToolbar_ButtonClick(m_actions, action->objectName()); });
}

QAction* MainToolbar::button(const QString& key) const {
    QAction* action = m_buttons.value(key);
    if (action == nullptr)
        throw RuntimeError(QStringLiteral("The tool bar has no button with the key \"%1\"").arg(key));
    return action;
}

bool MainToolbar::isButtonEnabled(const QString& key) const {
    return button(key)->isEnabled();
}

void MainToolbar::setButtonEnabled(const QString& key, bool enabled) {
    button(key)->setEnabled(enabled);
}

void MainToolbar::setButtonCaption(const QString& key, const QString& caption) {
    button(key)->setText(caption);
    fitButtons();
}

bool MainToolbar::isButtonPressed(const QString& key) const {
    return button(key)->isChecked();
}

void MainToolbar::setButtonPressed(const QString& key, bool pressed) {
    button(key)->setChecked(pressed);
}

QString MainToolbar::buttonCaption(const QString& key) const {
    return button(key)->text();
}

void MainToolbar::resizeEvent(QResizeEvent* event) {
    QToolBar::resizeEvent(event);
    fitButtons();
}

void MainToolbar::fitButtons() {
    // The bar's own layout would move the buttons that do not fit into an overflow menu; every button
    // stays in sight instead, narrowed down to the width of its caption when the window is narrow.
    std::vector<int> natural;
    std::vector<int> tight;
    int current = 0;
    for (const QToolButton* b : std::as_const(m_toolButtons)) {
        const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        const int caption = b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width();
        natural.push_back(b->sizeHint().width());
        tight.push_back(std::min(natural.back(), std::max(b->iconSize().width(), caption) + 2 * frame + 2));
        current += std::min(natural.back(), b->maximumWidth());
    }
    // What the bar needs besides the buttons: its margins, the separators and the gaps.
    const int rest = layout()->sizeHint().width() - current;
    const std::vector<int> widths = FitButtonWidths(natural, tight, width() - rest);
    for (qsizetype i = 0; i < m_toolButtons.size(); ++i) {
        const std::size_t n = static_cast<std::size_t>(i);
        const int limit = widths[n] < natural[n] ? widths[n] : QWIDGETSIZE_MAX;
        if (m_toolButtons[i]->maximumWidth() != limit)
            m_toolButtons[i]->setMaximumWidth(limit);
    }
}

} // namespace kestrova
