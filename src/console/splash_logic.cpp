#include "console/splash_logic.h"

#include "calling/call_settings.h"

#include "startup/integer_text.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/version.h"

namespace kestrova {

QString SplashVersionCaption(int major, int minor, int revision) {
    return QStringLiteral("V%1.%2%3").arg(major).arg(minor).arg(revision);
}

SplashLogic::SplashLogic(SplashWindow& window, SerialPort& port, const SettingsFile& settings, MessageBox& box,
                         ProgramEnd& programEnd)
    : m_window(window), MSComm1(port), m_settings(settings), m_box(box), m_programEnd(programEnd) {}

void SplashLogic::Form_Load() {
    try {
        m_window.setLabel1Caption(SplashVersionCaption(kVersionMajor, kVersionMinor, kVersionRevision));
        if (!LoadCommSettings()) {
            return;
        }
        MSComm1.setCommPort(mCommPort);
        if (!MSComm1.PortOpen()) {
            MSComm1.setPortOpen(true);
        }
        // No reply is awaited: the modem either takes the level or not, and start-up goes on.
        MSComm1.Output(kSpeakerLevelCommand);
        MSComm1.setPortOpen(false);
        m_window.enableTimer1();
    } catch (const RuntimeError& error) {
        m_box.exclamation(error.text(), m_box.defaultTitle());
        if (MSComm1.PortOpen()) {
            MSComm1.setPortOpen(false);
        }
        m_window.enableTimer1();
    }
}

bool SplashLogic::LoadCommSettings() {
    try {
        mCommPort = CIntText(m_settings.GetIniString(QStringLiteral("Settings"), QStringLiteral("CommPort")));
        ApplyVelocity(MSComm1,
                      CInt(Val(m_settings.GetIniString(QStringLiteral("Settings"), QStringLiteral("Velocity")))));
        return true;
    } catch (const RuntimeError& error) {
        m_programEnd.EndProgram(error.text());
        return false;
    }
}

void SplashLogic::Timer1_Timer() {
    m_window.unload();
}

} // namespace kestrova
