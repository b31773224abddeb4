#pragma once

#include "console/main_window_state.h"
#include "console/map_panel_view.h"
#include "data/records.h"
#include "startup/program_end.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

// The eight map panels of the main window: RefreshMapPanels draws a panel's vehicle (map picture, icon,
// caption, speed, lamps, landmarks) through the map engine when what it shows is new, and the panels'
// click and zoom handlers ask for it.
namespace kestrova {

inline constexpr int kMinimumPanelZoom = 6;

// The error of a drawing asked for before start-up has made the map engine.
inline const QString kNoMapEngine = QStringLiteral("地圖元件未建立");
inline constexpr int kMaximumPanelZoom = 14;

// Caption colours: a real-time position, any other state.
inline constexpr int32_t kCaptionRealTimeColour = 0xC00000;
inline constexpr int32_t kCaptionOtherColour = 0xC0;

// Lamp colours by the digit of the call history.
inline constexpr int32_t kLampReportColour = 0xFFFF;     // 0, position report: yellow
inline constexpr int32_t kLampNoReportColour = 0x0080FF; // 1, answered without report: orange
inline constexpr int32_t kLampNoAnswerColour = 0xFF;     // 2, not answered: red

// Everything a drawing depends on apart from the call time and the place text; a panel whose signature
// has not changed since its last drawing is not drawn again. width and height are the panel's in twips.
QString RedrawSignature(const VehicleRecord& R, float width, float height, const QString& zoomCaption);

// "carimage/<model>/car<heading step>.gif" relative to the program folder: the model folder by CarType
// (1 Ferrari, 2 S320, 3 Mini, else C-Rv), the heading to the nearest 45 degrees, a half to the even
// step. Negative headings wrap round like the compass names do. Throws RuntimeError("溢位") for a
// heading too large to count steps in a Long.
QString VehicleIconFile(int16_t CarType, float Direction);

// image/map<i>.bmp under programFolder, written by the engine at every render of panel i.
QString PanelBitmapFile(const QString& programFolder, int i);

// The colour of lamp k (0 the top, oldest result) for a call history. A missing character and anything
// but the digits 1 and 2 light as a position report.
int32_t LampColour(const QString& Healthy, int k);

// The caption's text before the blanks are added: the call time and state, trimmed.
QString PanelCaptionText(const VehicleRecord& R);

// The text handed to the engine for the map picture: "最後連線:" and the call time as YY-MM-DD HH:MM:SS.
// A DialTime that holds no stored time is passed on as it stands.
QString LastContactText(const QString& DialTime);

struct MapPanelsCollaborators {
    MainWindowState& state;
    // fraMap(0) to fraMap(7).
    std::array<MapPanelView*, kMapPanelCount> fraMap;
    QString programFolder;
    ProgramEnd& programEnd;
    // DisconnectCall when the modem port is open: ends a call in progress before the program ends on an
    // error. Empty when the window has no call to end; its own errors are ignored.
    std::function<void()> endCallInProgress;
};

class MapPanels {
public:
    explicit MapPanels(MapPanelsCollaborators parts);

    // Index 1 to 7 draws that panel, 0 all eight in ascending order. A panel without a chosen vehicle or
    // hidden is left as it is; a run-time error ends the program, panels drawn before it keeping their
    // new state.
    void RefreshMapPanels(int16_t Index);

    void cmbVehicle_Click(int16_t Index);
    void fraMap_Click(int16_t Index);
    void imgMap_Click(int16_t Index);
    void imgZoomIn_Click(int16_t Index);
    void imgZoomOut_Click(int16_t Index);

private:
    void drawPanel(int i);
    void drawPosition(int i, const VehicleRecord& R, const QString& s);
    void placeLandmarks(MapPanelView& view, MapEngineInterface& MapEngine);
    MapPanelView& panel(int i) const;
    MapEngineInterface& engine() const;
    void endProgram(const QString& text);

    MapPanelsCollaborators m_parts;
};

} // namespace kestrova
