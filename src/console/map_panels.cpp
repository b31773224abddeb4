#include "console/map_panels.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"
#include "startup/twips.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QStringList>
#include <QTime>
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace kestrova {

namespace {

constexpr float kSpeedRightMargin = 45;
constexpr float kSpeedBottomMargin = 360;
constexpr float kLandmarkSize = 300;

QString modelFolder(int16_t CarType) {
    switch (CarType) {
    case 1:
        return QStringLiteral("Ferrari");
    case 2:
        return QStringLiteral("S320");
    case 3:
        return QStringLiteral("Mini");
    default:
        return QStringLiteral("C-Rv");
    }
}

int landmarkPicture(const QString& Kind) {
    if (Kind == u"1") {
        return 1;
    }
    if (Kind == u"2") {
        return 2;
    }
    if (Kind == u"3") {
        return 3;
    }
    return 0;
}

} // namespace

QString RedrawSignature(const VehicleRecord& R, float width, float height, const QString& zoomCaption) {
    const QStringList values{R.PlateNumber,
                             NumberText(R.CarType),
                             R.CheckPoint,
                             R.EW,
                             NumberText(R.X),
                             R.NS,
                             NumberText(R.Y),
                             NumberText(width),
                             NumberText(height),
                             NumberText(R.Speed),
                             DirectionName(R.Direction),
                             NumberText(Val(zoomCaption)),
                             R.Healthy};
    return values.join(u',');
}

QString VehicleIconFile(int16_t CarType, float Direction) {
    const float steps = Direction / 45.0F;
    int32_t step = Mod(Round(static_cast<double>(steps)), 8);
    if (step < 0) {
        step += 8; // a negative heading has no file of its own; it points the same way as its positive turn
    }
    return QStringLiteral("carimage/") + modelFolder(CarType) + QStringLiteral("/car") + Format(step * 45, u"000") +
           QStringLiteral(".gif");
}

QString PanelBitmapFile(const QString& programFolder, int i) {
    return QDir(programFolder).filePath(QStringLiteral("image/map%1.bmp").arg(i));
}

int32_t LampColour(const QString& Healthy, int k) {
    const double d = Val(QStringView(Healthy).mid(k, 1));
    if (d == 1) {
        return kLampNoReportColour;
    }
    if (d == 2) {
        return kLampNoAnswerColour;
    }
    return kLampReportColour;
}

QString PanelCaptionText(const VehicleRecord& R) {
    return Trim(ConvertDbTime(R.DialTime, 0) + u' ' + R.CheckPoint);
}

QString LastContactText(const QString& DialTime) {
    // Date and time are read apart and joined in UTC, so a local daylight-saving gap cannot shift them.
    const QDate date = QDate::fromString(DialTime.left(10), QStringLiteral("yyyy/MM/dd"));
    const QTime time = QTime::fromString(DialTime.mid(11), QStringLiteral("HH:mm:ss"));
    const bool stored = DialTime.size() == 19 && DialTime.at(10) == u' ' && date.isValid() && time.isValid();
    const QString shown = stored ? FormatDate(QDateTime(date, time, Qt::UTC), u"YY-MM-DD HH:MM:SS") : DialTime;
    return QStringLiteral("最後連線:") + shown;
}

MapPanels::MapPanels(MapPanelsCollaborators parts) : m_parts(std::move(parts)) {}

void MapPanels::RefreshMapPanels(int16_t Index) {
    if (m_parts.programEnd.Ending()) {
        return;
    }
    try {
        if (Index < 0 || Index >= kMapPanelCount) {
            throw RuntimeError(kSubscriptOutOfRange);
        }
        const int first = Index == 0 ? 0 : Index;
        const int last = Index == 0 ? kMapPanelCount - 1 : Index;
        for (int i = first; i <= last; ++i) {
            drawPanel(i);
        }
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    } catch (const std::exception& error) {
        endProgram(QString::fromLocal8Bit(error.what()));
    }
}

void MapPanels::drawPanel(int i) {
    MapPanelView& view = panel(i);
    const int listIndex = view.chooserListIndex();
    if (listIndex == -1 || !view.isPanelVisible()) {
        return;
    }

    // Panel 7 always shows PlaybackSlot, the last element, whatever its chooser shows.
    const std::vector<VehicleRecord>& Vehicles = m_parts.state.Vehicles;
    const long long recordIndex = i < kTrackPanel ? listIndex : static_cast<long long>(Vehicles.size()) - 1;
    if (recordIndex < 0 || recordIndex >= static_cast<long long>(Vehicles.size())) {
        throw RuntimeError(kSubscriptOutOfRange);
    }
    const VehicleRecord& R = Vehicles[static_cast<std::size_t>(recordIndex)];

    const QString c = PanelCaptionText(R);
    view.setCaptionBold(listIndex == m_parts.state.CurrentVehicle);
    view.setCaptionText(c.isEmpty() ? QString() : u' ' + c + u' ');
    view.setCaptionVisible(!c.isEmpty());

    const QString s = RedrawSignature(R, view.panelWidth(), view.panelHeight(), view.zoomCaption());
    if (s == view.mapTag()) {
        return;
    }

    if (R.X == 0 && R.Y == 0) {
        view.setZoomButtonsVisible(false);
        view.clearMapPicture();
        view.clearVehiclePicture();
        view.setSpeedVisible(false);
        view.setVehicleToolTip(QString());
    } else {
        drawPosition(i, R, s);
    }

    for (int k = 0; k < kLampCount; ++k) {
        view.setLampColour(k, LampColour(R.Healthy, k));
    }
    view.setMapTag(s);
}

void MapPanels::drawPosition(int i, const VehicleRecord& R, const QString& s) {
    MapPanelView& view = panel(i);
    view.setMapVisible(false);
    view.setZoomButtonsVisible(true);
    view.setCaptionColour(s.contains(QStringLiteral("即時")) ? kCaptionRealTimeColour : kCaptionOtherColour);

    const float W = view.panelWidth();
    const float H = view.panelHeight();
    const QString bitmap = PanelBitmapFile(m_parts.programFolder, i);
    MapEngineInterface& MapEngine = engine();
    MapEngine.SetViewSize(CLng(W / kTwipsPerPixel - 1), CLng(H / kTwipsPerPixel - 16));
    MapEngine.SetCenter(MicroDegrees(R.X), MicroDegrees(R.Y));
    MapEngine.SetZoom(CLng(Val(view.zoomCaption())));
    MapEngine.SetText(LastContactText(R.DialTime));
    int32_t ignored = 0;
    MapEngine.SaveBitmap(bitmap, ignored);
    view.setMapPicture(bitmap);

    view.setSpeedVisible(false);
    view.setSpeedCaption(QStringLiteral("速度：") + FormatKilometres(R.Speed));
    view.moveSpeed(W - view.speedWidth() - kSpeedRightMargin, H - view.speedHeight() - kSpeedBottomMargin);
    view.setSpeedVisible(true);

    view.setVehiclePicture(QDir(m_parts.programFolder).filePath(VehicleIconFile(R.CarType, R.Direction)));
    view.setVehicleToolTip(R.Address);
    view.setMapVisible(true);

    if (i < kLandmarkPanelCount) {
        placeLandmarks(view, MapEngine);
    }
}

void MapPanels::placeLandmarks(MapPanelView& view, MapEngineInterface& MapEngine) {
    const std::vector<CoordinateRecord>& Coordinates = m_parts.state.Coordinates;
    // The last element is the empty one that is never shown; rows beyond the slots have nowhere to go.
    const std::size_t shown = std::min<std::size_t>(Coordinates.empty() ? 0 : Coordinates.size() - 1,
                                                    static_cast<std::size_t>(kLandmarkSlotCount));
    for (std::size_t j = 0; j < shown; ++j) {
        const CoordinateRecord& landmark = Coordinates[j];
        int32_t px = 0;
        int32_t py = 0;
        MapEngine.ToPixel(MicroDegrees(landmark.X), MicroDegrees(landmark.Y), px, py);
        const int slot = static_cast<int>(j);
        view.moveLandmark(slot, TwipsRect{pixelsToTwips(px), pixelsToTwips(py), kLandmarkSize, kLandmarkSize});
        view.setLandmarkVisible(slot, true);
        view.setLandmarkToolTip(slot, landmark.Explanation);
        if (const int picture = landmarkPicture(landmark.Kind); picture != 0) {
            view.setLandmarkPicture(slot, picture);
        }
    }
}

void MapPanels::cmbVehicle_Click(int16_t Index) {
    if (!m_parts.state.bLoadingVehicles) {
        RefreshMapPanels(Index);
    }
}

void MapPanels::fraMap_Click(int16_t Index) {
    MapPanelView& view = panel(Index);
    if (view.isChooserEnabled()) {
        view.focusChooser();
    }
}

void MapPanels::imgMap_Click(int16_t Index) {
    fraMap_Click(Index);
}

void MapPanels::imgZoomIn_Click(int16_t Index) {
    MapPanelView& view = panel(Index);
    const double z = Val(view.zoomCaption());
    if (z < kMaximumPanelZoom) {
        view.setZoomCaption(NumberText(z + 1));
        RefreshMapPanels(Index);
    }
}

void MapPanels::imgZoomOut_Click(int16_t Index) {
    MapPanelView& view = panel(Index);
    const double z = Val(view.zoomCaption());
    if (z > kMinimumPanelZoom) {
        view.setZoomCaption(NumberText(z - 1));
        RefreshMapPanels(Index);
    }
}

MapPanelView& MapPanels::panel(int i) const {
    if (i < 0 || i >= kMapPanelCount || m_parts.fraMap[static_cast<std::size_t>(i)] == nullptr) {
        throw RuntimeError(kSubscriptOutOfRange);
    }
    return *m_parts.fraMap[static_cast<std::size_t>(i)];
}

MapEngineInterface& MapPanels::engine() const {
    if (m_parts.state.MapEngine == nullptr) {
        throw RuntimeError(kNoMapEngine);
    }
    return *m_parts.state.MapEngine;
}

void MapPanels::endProgram(const QString& text) {
    m_parts.state.LastErrorText = text;
    if (m_parts.endCallInProgress) {
        try {
            m_parts.endCallInProgress();
        } catch (...) {
            // Ending a call ignores its errors: the program ends with the error that brought it here.
        }
    }
    m_parts.programEnd.EndProgram(m_parts.state.LastErrorText);
}

} // namespace kestrova
