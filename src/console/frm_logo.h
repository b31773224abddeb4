#pragma once

#include "calling/serial_port.h"
#include "console/splash_logic.h"

#include <QDialog>
#include <memory>

class QLabel;
class QTimer;

// The splash window: the program's picture with the version label, shown modally over the main window
// for two seconds while the modem's loudspeaker level is set (see SplashLogic).
namespace kestrova {

class frmLogo final : public QDialog, private SplashWindow {
    Q_OBJECT

public:
    // The picture is icons/frmLogo.png in programFolder. MSComm1 is the splash's own serial port.
    frmLogo(QWidget* owner, const QString& programFolder, std::unique_ptr<SerialPort> MSComm1,
            const SettingsFile& settings, MessageBox& box, ProgramEnd& programEnd);
    ~frmLogo() override;

    // Loads the splash and shows it modally; returns when it has unloaded itself.
    void showModal();

    // The load handler alone, without the modal display.
    void Form_Load();

    QLabel* Label1() const { return m_label1; }
    QTimer* Timer1() const { return m_timer1; }

public slots:
    void Timer1_Timer();

private:
    void setLabel1Caption(const QString& caption) override;
    void enableTimer1() override;
    void unload() override;

    ProgramEnd& m_programEnd;
    ProgramEnd::HaltId m_haltId = 0;
    std::unique_ptr<SerialPort> m_MSComm1;
    QLabel* m_label1 = nullptr;
    QTimer* m_timer1 = nullptr;
    SplashLogic m_logic;
};

} // namespace kestrova
