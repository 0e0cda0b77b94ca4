// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's picture: drawn by a module loaded on demand (see GrafikModul.cpp).
#pragma once

#include <string>

#include "core/Plattform.hpp"
#include "window/Grafik.hpp"

namespace zentrix {

// The module's file (zentrix-grafik.so; on Windows zentrix-grafik.dll): beside the batch tool (the
// build folder) or in lib/zentrix/module beside its bin folder (an installation).
inline std::string GrafikModulName() { return plattform::ModulDatei("zentrix-grafik"); }

// Saves the picture as PNG or SVG. Returns an empty text, or why not (German), also when the
// module cannot be loaded.
std::string SpeichereGrafikMitModul(const TGrafik& g, const std::string& datei);

}  // namespace zentrix

// What the module offers.
extern "C" void zentrix_speichere_grafik(const zentrix::TGrafik* g, const char* datei, std::string* fehler);
