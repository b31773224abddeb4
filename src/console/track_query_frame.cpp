#include "console/track_query_frame.h"

#include "console/main_window_layout.h"
#include "startup/numeric.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

namespace kestrova {

namespace {

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

QDateEdit* addDatePicker(QWidget* parent, const char* name, const QRect& rect) {
    auto* picker = place<QDateEdit>(parent, name, rect);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    return picker;
}

constexpr int16_t kShortestInterval = 1;
constexpr int16_t kLongestInterval = 10;

} // namespace

int16_t PlaybackIntervalSeconds(QStringView text) {
    const double seconds = Round(Val(text));
    if (!(seconds >= kShortestInterval))
        return kShortestInterval;
    if (seconds > kLongestInterval)
        return kLongestInterval;
    return static_cast<int16_t>(seconds);
}

TrackQueryFrame::TrackQueryFrame(QWidget* parent) : QGroupBox(QStringLiteral("航跡查詢"), parent) {
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

    m_fraPlay = place<QGroupBox>(this, "fraPlay", designRect(270, 3450, 3390, 1560));
    m_fraPlay->setTitle(QStringLiteral("航跡撥放設定"));
    addLabel(m_fraPlay, "Label5", QStringLiteral("撥放間隔："), designRect(240, 375, 900, 180));
    m_txtInterval = place<QLineEdit>(m_fraPlay, "txtInterval", designRect(1275, 315, 615, 300));
    addLabel(m_fraPlay, "Label4", QStringLiteral("秒"), designRect(1980, 375, 180, 180));
}

void TrackQueryFrame::adoptVehicleChooser(QComboBox* cmbVehicle) {
    cmbVehicle->setParent(this);
    cmbVehicle->setGeometry(designRect(1380, 375, 1275, 300));
    cmbVehicle->show();
}

} // namespace kestrova
