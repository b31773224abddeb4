#include "console/end_on_error.h"

#include "startup/runtime_error.h"

#include <QString>
#include <exception>

namespace kestrova {

void EndProgramOnError(ProgramEnd& programEnd, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RuntimeError& error) {
        programEnd.EndProgram(error.text());
    } catch (const std::exception& error) {
        programEnd.EndProgram(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace kestrova
