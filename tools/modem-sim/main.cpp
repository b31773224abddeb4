// kestrova-modem-sim: plays a GSM modem with vehicle terminals behind it on a pseudo-terminal linked as
// the program folder's dev/comN, so the console runs without a modem. See README.md beside this file.

#include "modem-sim/modem_simulator.h"
#include "modem-sim/scenario.h"
#include "startup/runtime_error.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <exception>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

volatile std::sig_atomic_t g_stop = 0;

void onStopSignal(int) {
    g_stop = 1;
}

const char kUsage[] = "usage: kestrova-modem-sim --folder <program folder> --scenario <file> [--record <file>] "
                      "[--time-scale <factor>]\n";

void printError(const QString& text) {
    std::fprintf(stderr, "kestrova-modem-sim: %s\n", text.toLocal8Bit().constData());
}

struct Arguments {
    QString Folder;
    QString Scenario;
    QString Record;
    double TimeScale = 1;
};

// Throws kestrova::RuntimeError with the fault; the caller adds the usage line.
Arguments parseArguments(const QStringList& args) {
    Arguments result;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option != QLatin1String("--folder") && option != QLatin1String("--scenario") &&
            option != QLatin1String("--record") && option != QLatin1String("--time-scale"))
            throw kestrova::RuntimeError(QStringLiteral("unknown argument %1").arg(option));
        if (i + 1 >= args.size())
            throw kestrova::RuntimeError(QStringLiteral("%1 needs a value").arg(option));
        const QString value = args[++i];
        if (option == QLatin1String("--folder")) {
            result.Folder = value;
        } else if (option == QLatin1String("--scenario")) {
            result.Scenario = value;
        } else if (option == QLatin1String("--record")) {
            result.Record = value;
        } else {
            bool ok = false;
            result.TimeScale = value.toDouble(&ok);
            if (!ok || !std::isfinite(result.TimeScale) || result.TimeScale <= 0 || result.TimeScale > 1000)
                throw kestrova::RuntimeError(
                    QStringLiteral("--time-scale must be a number above 0 and at most 1000, not %1").arg(value));
        }
    }
    if (result.Folder.isEmpty())
        throw kestrova::RuntimeError(QStringLiteral("--folder is missing"));
    if (result.Scenario.isEmpty())
        throw kestrova::RuntimeError(QStringLiteral("--scenario is missing"));
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QLatin1String("--help"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    Arguments arguments;
    try {
        arguments = parseArguments(args);
    } catch (const kestrova::RuntimeError& e) {
        printError(e.text());
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    // The stop signals stay blocked except while waiting, so one cannot slip in between the check of
    // g_stop and the wait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    try {
        const kestrova::ModemScenario scenario = kestrova::LoadScenarioFile(arguments.Scenario);
        const QString record = arguments.Record.isEmpty() ? scenario.RecordFile : arguments.Record;
        kestrova::ModemSimulator simulator(scenario, arguments.Folder, record, arguments.TimeScale);
        std::printf("kestrova-modem-sim: %s -> %s\n", simulator.port().linkPath().toLocal8Bit().constData(),
                    simulator.port().slavePath().toLocal8Bit().constData());
        std::fflush(stdout);
        while (!g_stop)
            simulator.runOnce(1000, &waitMask);
    } catch (const kestrova::RuntimeError& e) {
        printError(e.text());
        return kExitFailure;
    } catch (const std::exception& e) {
        printError(QString::fromLocal8Bit(e.what()));
        return kExitFailure;
    }
    return 0;
}
