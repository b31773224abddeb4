#pragma once

#include "calling/serial_port.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QString>
#include <cstdint>

// What the splash window frmLogo does while the console starts: it shows the version, sets the modem's
// loudspeaker level once through its own serial port, and unloads itself when its timer fires. It lives
// here, beside the main window, because it drives the modem's serial port, which the start-up layer
// below cannot reach.
namespace kestrova {

// The version label's text: "V", the major number, ".", then the minor number and the revision with
// nothing between them (1.0.3 gives "V1.03").
QString SplashVersionCaption(int major, int minor, int revision);

// The speaker-level command that the splash sends, line end included.
inline const QString kSpeakerLevelCommand = QStringLiteral("AT+CLVL=90\r\n");

// What the splash logic does to its window.
class SplashWindow {
public:
    virtual ~SplashWindow() = default;
    virtual void setLabel1Caption(const QString& caption) = 0;
    virtual void enableTimer1() = 0;
    // Closes the splash, which ends its modal display.
    virtual void unload() = 0;
};

class SplashLogic {
public:
    // port is the splash's own, not the main window's.
    SplashLogic(SplashWindow& window, SerialPort& port, const SettingsFile& settings, MessageBox& box,
                ProgramEnd& programEnd);

    // A port that cannot be opened or written to is reported in an exclamation box, and the splash still
    // closes when its timer fires. A port number that is not a number ends the program.
    void Form_Load();
    void Timer1_Timer();

    int16_t commPort() const { return mCommPort; }

private:
    // Reads [Settings] CommPort and Velocity. False when it has ended the program.
    bool LoadCommSettings();

    SplashWindow& m_window;
    SerialPort& MSComm1;
    const SettingsFile& m_settings;
    MessageBox& m_box;
    ProgramEnd& m_programEnd;
    int16_t mCommPort = 0;
};

} // namespace kestrova
