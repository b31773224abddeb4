#include "startup/event_handler.h"

#include "startup/runtime_error.h"

#include <exception>

namespace kestrova {

bool RunEventHandler(ProgramEnd& programEnd, const std::function<void()>& handler) {
    if (programEnd.Ending()) {
        return false;
    }
    try {
        handler();
        return true;
    } catch (const RuntimeError& error) {
        programEnd.EndProgram(error.text());
    } catch (const std::exception& error) {
        programEnd.EndProgram(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace kestrova
