#pragma once

#include <QGroupBox>
#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;

// The track-query frame fraTrackQuery ("航跡查詢") beside map panel 7, with its controls at their design
// places: the vehicle chooser cmbVehicle(7) (made by panel 7, moved here), the two date pickers, the four
// filter boxes, the query button, the playback frame fraPlay with the interval box and slider, and the
// export and playback buttons. The filter boxes and the interval box select their whole text when they
// take the focus, so that typing replaces it.
namespace kestrova {

class TrackQueryFrame final : public QGroupBox {
    Q_OBJECT

public:
    // The query button's picture is the tool bar's track-query picture under programFolder's icons/.
    explicit TrackQueryFrame(const QString& programFolder, QWidget* parent = nullptr);

    // Takes panel 7's chooser into the frame, at its design place.
    void adoptVehicleChooser(QComboBox* cmbVehicle);

    QDateEdit* dtpFromTime() const { return m_dtpFromTime; }
    QDateEdit* dtpToTime() const { return m_dtpToTime; }
    QLineEdit* txtFromSpeed() const { return m_txtFromSpeed; }
    QLineEdit* txtToSpeed() const { return m_txtToSpeed; }
    QLineEdit* txtFromOffset() const { return m_txtFromOffset; }
    QLineEdit* txtToOffset() const { return m_txtToOffset; }
    QToolButton* cmdQuery() const { return m_cmdQuery; }
    QGroupBox* fraPlay() const { return m_fraPlay; }
    QLineEdit* txtInterval() const { return m_txtInterval; }
    QSlider* sldInterval() const { return m_sldInterval; }
    QPushButton* cmdExport() const { return m_cmdExport; }
    QPushButton* cmdPlay() const { return m_cmdPlay; }
    QPushButton* cmdStopPlay() const { return m_cmdStopPlay; }

private:
    QDateEdit* m_dtpFromTime = nullptr;
    QDateEdit* m_dtpToTime = nullptr;
    QLineEdit* m_txtFromSpeed = nullptr;
    QLineEdit* m_txtToSpeed = nullptr;
    QLineEdit* m_txtFromOffset = nullptr;
    QLineEdit* m_txtToOffset = nullptr;
    QToolButton* m_cmdQuery = nullptr;
    QGroupBox* m_fraPlay = nullptr;
    QLineEdit* m_txtInterval = nullptr;
    QSlider* m_sldInterval = nullptr;
    QPushButton* m_cmdExport = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QPushButton* m_cmdStopPlay = nullptr;
};

} // namespace kestrova
