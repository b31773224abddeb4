#include "console/track_query_frame.h"

#include "console/main_window_layout.h"
#include "console/toolbar_design.h"
#include "dialogs/dialog_widgets.h"
#include "track/playback_interval.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>

namespace kestrova {

namespace {

// The tool bar's picture of the track query.
constexpr int kQueryPicture = 6;
// What a line edit keeps free beside its text: its margins and the caret.
constexpr int kEditMargins = 6;

// A control's design rectangle, in twips inside its frame.
QRect designRect(float left, float top, float width, float height) {
    return toPixels(TwipsRect{left, top, width, height});
}

template <typename Widget> Widget* place(QWidget* parent, const char* name, const QRect& rect) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    return widget;
}

// The design's label sizes suit its 9-point font; under a larger substitute font a label grows to its text.
void addLabel(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* label = place<QLabel>(parent, name, rect);
    label->setText(caption);
    label->resize(label->size().expandedTo(label->sizeHint()));
}

// In a substitute font the design's width leaves the end of a date under the drop-down button: the picker
// grows until its edit field holds a whole date.
QDateEdit* addDatePicker(QWidget* parent, const char* name, const QRect& rect) {
    auto* picker = place<QDateEdit>(parent, name, rect);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    const QFontMetrics metrics = picker->fontMetrics();
    const int date = std::max(metrics.horizontalAdvance(QStringLiteral("2026/12/09")),
                              metrics.horizontalAdvance(QStringLiteral("8888/88/88")));
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    const QRect field =
        picker->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, picker);
    picker->resize(rect.width() + std::max(0, date + kEditMargins - field.width()), rect.height());
    return picker;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* button = place<QPushButton>(parent, name, rect);
    button->setText(caption);
    button->setEnabled(false);
    return button;
}

} // namespace

TrackQueryFrame::TrackQueryFrame(const QString& programFolder, QWidget* parent)
    : QGroupBox(QStringLiteral("航跡查詢"), parent) {
    setObjectName(QStringLiteral("fraTrackQuery"));

    addLabel(this, "lblPlateNumber", QStringLiteral("車輛編號："), designRect(285, 450, 900, 180));
    addLabel(this, "lblFromTime", QStringLiteral("起始日期："), designRect(285, 855, 900, 180));
    m_dtpFromTime = addDatePicker(this, "dtpFromTime", designRect(1380, 780, 1275, 300));
    addLabel(this, "lblToTime", QStringLiteral("結束日期："), designRect(285, 1260, 900, 180));
    m_dtpToTime = addDatePicker(this, "dtpToTime", designRect(1380, 1185, 1275, 300));

    addLabel(this, "lblFromSpeed", QStringLiteral("最低速度："), designRect(285, 1665, 900, 180));
    m_txtFromSpeed = place<QLineEdit>(this, "txtFromSpeed", designRect(1380, 1590, 615, 300));
    addLabel(this, "lblKm1", QStringLiteral("km"), designRect(2085, 1665, 225, 180));
    addLabel(this, "lblToSpeed", QStringLiteral("最高速度："), designRect(285, 2070, 900, 180));
    m_txtToSpeed = place<QLineEdit>(this, "txtToSpeed", designRect(1380, 1995, 615, 300));
    addLabel(this, "lblKm2", QStringLiteral("km"), designRect(2085, 2070, 225, 180));
    addLabel(this, "lblFromOffset", QStringLiteral("最小位移："), designRect(300, 2475, 900, 180));
    m_txtFromOffset = place<QLineEdit>(this, "txtFromOffset", designRect(1395, 2400, 615, 300));
    addLabel(this, "Label2", QStringLiteral("m"), designRect(2100, 2475, 135, 180));
    addLabel(this, "lblToOffset", QStringLiteral("最大位移："), designRect(300, 2880, 900, 180));
    m_txtToOffset = place<QLineEdit>(this, "txtToOffset", designRect(1395, 2805, 615, 300));
    addLabel(this, "Label1", QStringLiteral("m"), designRect(2100, 2880, 135, 180));

    m_cmdQuery = place<QToolButton>(this, "cmdQuery", designRect(2940, 375, 750, 1110));
    m_cmdQuery->setText(QStringLiteral("查詢"));
    m_cmdQuery->setIcon(QIcon(QDir(programFolder).filePath(toolbarPicturePath(kQueryPicture))));
    m_cmdQuery->setIconSize(QSize(32, 32));
    m_cmdQuery->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    m_fraPlay = place<QGroupBox>(this, "fraPlay", designRect(270, 3450, 3390, 1560));
    m_fraPlay->setTitle(QStringLiteral("航跡撥放設定"));
    addLabel(m_fraPlay, "Label5", QStringLiteral("撥放間隔："), designRect(240, 375, 900, 180));
    m_txtInterval = place<QLineEdit>(m_fraPlay, "txtInterval", designRect(1275, 315, 615, 300));
    addLabel(m_fraPlay, "Label4", QStringLiteral("秒"), designRect(1980, 375, 180, 180));
    m_sldInterval = place<QSlider>(m_fraPlay, "sldInterval", designRect(120, 720, 2805, 495));
    m_sldInterval->setOrientation(Qt::Horizontal);
    m_sldInterval->setRange(kShortestPlaybackInterval, kLongestPlaybackInterval);
    m_sldInterval->setSingleStep(1);
    m_sldInterval->setPageStep(1);
    m_sldInterval->setTickInterval(1);
    m_sldInterval->setTickPosition(QSlider::TicksBelow);
    addLabel(m_fraPlay, "lblOne", QStringLiteral("1"), designRect(285, 1260, 90, 180));
    addLabel(m_fraPlay, "lblTen", QStringLiteral("10"), designRect(2640, 1260, 180, 180));

    m_cmdExport = addButton(this, "cmdExport", QStringLiteral("匯出航跡檔"), designRect(255, 5310, 1110, 1155));
    m_cmdPlay = addButton(this, "cmdPlay", QStringLiteral("自動撥放"), designRect(1485, 5310, 1110, 510));
    m_cmdStopPlay = addButton(this, "cmdStopPlay", QStringLiteral("停止撥放"), designRect(1485, 5955, 1110, 510));

    for (QLineEdit* box : {m_txtFromSpeed, m_txtToSpeed, m_txtFromOffset, m_txtToOffset, m_txtInterval})
        SelectAllOnFocus(box);
}

void TrackQueryFrame::adoptVehicleChooser(QComboBox* cmbVehicle) {
    cmbVehicle->setParent(this);
    cmbVehicle->setGeometry(designRect(1380, 375, 1275, 300));
    cmbVehicle->show();
}

} // namespace kestrova
