// SPDX-License-Identifier: GPL-3.0-or-later
// The picture for the batch tool, in a module of its own: it is loaded only when a picture is
// asked for, so that the batch tool carries Qt's libraries (some 13 MB of memory and their
// loading time) only into the runs that draw. The module finds the computing code it calls in
// the batch tool itself.
#include <string>

#include "cli/GrafikLaden.hpp"
#include "qt/QtGrafik.hpp"

extern "C" void zentrix_speichere_grafik(const zentrix::TGrafik* g, const char* datei, std::string* fehler) {
    *fehler = zentrix::SpeichereGrafik(*g, datei);
}
