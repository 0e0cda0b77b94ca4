// SPDX-License-Identifier: GPL-3.0-or-later
// A cloud file of any of the formats read: told by its content, read by its reader.
#pragma once

#include <string>

#include "scan/BinaerDatei.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

enum class TWolkenformat { Text, Ply, Las };

// The format by the file's first bytes: "ply" and a line end is PLY, "LASF" is LAS. A LAZ or E57
// file (by its content or its name's ending) is refused at once with EWolkenFehler naming the
// formats to export to; a file named .ply or .las whose content is not that format is refused
// too. Any other file is a text cloud.
TWolkenformat WolkenformatVon(const TBinaerDatei& datei);

// "Text", "PLY", "LAS".
const char* WolkenformatName(TWolkenformat format);

// Reads the points of the cloud file pfad (only a regular file), whatever its format; format, where
// given, learns which it was. Errors as the readers raise them, each with the file as its place.
TWolke LeseWolke(const std::string& pfad, TScanMelder& melder, TWolkenformat* format = nullptr);

}  // namespace zentrix
