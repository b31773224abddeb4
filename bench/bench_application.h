#pragma once

#include "map/render_heap.h"

#include <QByteArray>
#include <QtGlobal>

// The one Qt application object of a benchmark program, on the offscreen platform unless another is
// asked for. It is made on first use and never destroyed: a function-local static would be destroyed at
// exit after Qt's own statics, and crash the program once every benchmark has run.
namespace kestrova::bench {

// The heap is set up as the console program sets it up, before anything else is allocated.
inline const bool kBitmapMemoryInHeap = (KeepBitmapMemoryInHeap(), true);

template <class Application> Application& application() {
    static int argc = 1;
    static char name[] = "kestrova-bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static Application* const app = new Application(argc, argv);
    return *app;
}

} // namespace kestrova::bench
