// SPDX-License-Identifier: GPL-3.0-or-later
// Zentrix: the centre of a reflector sphere from points measured on its surface.
// Start-up: the application, the one main window, the event loop.

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "core/Speicher.hpp"
#include "textio/NumText.hpp"
#include "qt/QtDialoge.hpp"
#include "qt/QtForm1.hpp"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Zentrix %s\n", ZENTRIX_VERSION);
        return 0;
    }
    zentrix::SpeicherEinrichten();
    QApplication app(argc, argv);
    // Number settings from the regional settings until the window's activation sets the point.
    std::setlocale(LC_NUMERIC, "");
    zentrix::LoadFormatSettingsFromLocale();
    std::setlocale(LC_NUMERIC, "C");
    zentrix::SetupApplication();

    zentrix::TQtDialoge dialoge;
    // The conversion files lie in the folder the program was started in.
    zentrix::TQtForm1 form(dialoge, QDir::currentPath().toStdString());
    dialoge.SetParent(&form);
    form.show();
    return app.exec();
}
