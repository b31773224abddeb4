// kestrova-make-icons <program folder>: draws the console's pictures into the program folder.

#include "make-icons/program_images.h"
#include "startup/runtime_error.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The splash picture's text needs the font database, which comes with a GUI application.
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: kestrova-make-icons <program folder>\n");
        return 2;
    }
    try {
        const QStringList written = kestrova::writeProgramImages(arguments.at(1));
        std::printf("%lld pictures written to %s\n", static_cast<long long>(written.size()),
                    qPrintable(arguments.at(1)));
    } catch (const kestrova::RuntimeError& error) {
        std::fprintf(stderr, "kestrova-make-icons: %s\n", qPrintable(error.text()));
        return 1;
    }
    return 0;
}
