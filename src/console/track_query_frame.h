#pragma once

#include <QGroupBox>
#include <QStringView>
#include <cstdint>

class QComboBox;
class QDateEdit;
class QLineEdit;

// The track-query frame fraTrackQuery ("航跡查詢") beside map panel 7, with its controls at their design places: the
// vehicle chooser cmbVehicle(7) (made by panel 7, moved here), the two date pickers, the four filter
// boxes and, in the playback frame fraPlay, the interval box.
namespace kestrova {

// The playback interval that the interval box's edit handler keeps: the box's leading number rounded
// (a half to the even number) and held to 1 to 10 seconds, also when it is far too large for a number
// of seconds.
int16_t PlaybackIntervalSeconds(QStringView text);

class TrackQueryFrame final : public QGroupBox {
    Q_OBJECT

public:
    explicit TrackQueryFrame(QWidget* parent = nullptr);

    // Takes panel 7's chooser into the frame, at its design place.
    void adoptVehicleChooser(QComboBox* cmbVehicle);

    QDateEdit* dtpFromTime() const { return m_dtpFromTime; }
    QDateEdit* dtpToTime() const { return m_dtpToTime; }
    QLineEdit* txtFromSpeed() const { return m_txtFromSpeed; }
    QLineEdit* txtToSpeed() const { return m_txtToSpeed; }
    QLineEdit* txtFromOffset() const { return m_txtFromOffset; }
    QLineEdit* txtToOffset() const { return m_txtToOffset; }
    QLineEdit* txtInterval() const { return m_txtInterval; }
    QGroupBox* fraPlay() const { return m_fraPlay; }

private:
    QDateEdit* m_dtpFromTime = nullptr;
    QDateEdit* m_dtpToTime = nullptr;
    QLineEdit* m_txtFromSpeed = nullptr;
    QLineEdit* m_txtToSpeed = nullptr;
    QLineEdit* m_txtFromOffset = nullptr;
    QLineEdit* m_txtToOffset = nullptr;
    QLineEdit* m_txtInterval = nullptr;
    QGroupBox* m_fraPlay = nullptr;
};

} // namespace kestrova
