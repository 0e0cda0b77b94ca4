// Zentrix: the centre of a reflector sphere from points measured on its surface.
// Start-up: the application, the one main window, the event loop.

#include <QApplication>
#include <QDir>
#include <clocale>

#include "textio/NumText.hpp"
#include "window/QtDialoge.hpp"
#include "window/QtForm1.hpp"

int main(int argc, char** argv) {
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
