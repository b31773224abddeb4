#include "startup/program_end.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kestrova {

void ProgramEnd::terminateProcess() {
    std::fflush(nullptr);
    std::_Exit(1);
}

ProgramEnd::ProgramEnd(MessageBox& box, Terminate terminate) : m_box(box), m_terminate(std::move(terminate)) {}

ProgramEnd::HaltId ProgramEnd::addHaltStep(HaltStep step) {
    const HaltId id = m_nextHaltId++;
    m_haltSteps.emplace_back(id, std::move(step));
    return id;
}

void ProgramEnd::removeHaltStep(HaltId id) {
    std::erase_if(m_haltSteps, [id](const auto& step) { return step.first == id; });
}

void ProgramEnd::EndProgram(const QString& errorText) {
    if (m_ending) {
        return;
    }
    m_ending = true;
    // A copy: a step may remove itself.
    const auto steps = m_haltSteps;
    for (const auto& step : steps) {
        try {
            step.second();
        } catch (...) {
            // The program ends with the error that brought it here, whatever else fails on the way.
        }
    }
    m_box.critical(errorText, m_box.defaultTitle());
    m_terminate();
    // Reached only with a test's terminate function: each of its failures is a run of its own.
    m_ending = false;
}

} // namespace kestrova
