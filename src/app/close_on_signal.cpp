#include "app/close_on_signal.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace kestrova {

namespace {

// Read end, write end.
std::array<int, 2> g_pipe{-1, -1};

extern "C" void onCloseSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a close request; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

bool installCloseSignals() {
    if (pipe2(g_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe = {-1, -1};
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        sigaction(signal, &action, nullptr);
    }
    return true;
}

void watchCloseSignals(QObject* parent, std::function<void()> onSignal) {
    if (g_pipe[0] < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [handler = std::move(onSignal)] {
        std::array<char, 64> bytes{};
        bool caught = false;
        while (read(g_pipe[0], bytes.data(), bytes.size()) > 0) {
            caught = true;
        }
        if (caught) {
            handler();
        }
    });
}

} // namespace kestrova
