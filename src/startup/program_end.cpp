#include "startup/program_end.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kestrova {

void ProgramEnd::terminateProcess() {
    std::fflush(nullptr);
    std::_Exit(1);
}

ProgramEnd::ProgramEnd(MessageBox& box, Terminate terminate) : m_box(box), m_terminate(std::move(terminate)) {}

void ProgramEnd::EndProgram(const QString& errorText) {
    m_box.critical(errorText, m_box.defaultTitle());
    m_terminate();
}

} // namespace kestrova
