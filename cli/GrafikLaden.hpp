// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's picture: drawn by a module loaded on demand (see GrafikModul.cpp).
#pragma once

#include <string>

#include "window/Grafik.hpp"

namespace zentrix {

// The module's file: beside the batch tool (the build folder) or in lib/zentrix beside its bin
// folder (an installation).
constexpr const char* GrafikModulName = "zentrix-grafik.so";

// Saves the picture as PNG or SVG. Returns an empty text, or why not (German), also when the
// module cannot be loaded.
std::string SpeichereGrafikMitModul(const TGrafik& g, const std::string& datei);

}  // namespace zentrix

// What the module offers.
extern "C" void zentrix_speichere_grafik(const zentrix::TGrafik* g, const char* datei, std::string* fehler);
