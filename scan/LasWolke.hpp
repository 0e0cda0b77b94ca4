// SPDX-License-Identifier: GPL-3.0-or-later
// LAS clouds (ASPRS LAS 1.0 to 1.4, little-endian): the public header block, then the points from
// its offset, each record X, Y, Z as 32-bit integers followed by what its point data format (0 to
// 10) and record length add. A coordinate is the integer times the header's scale plus its
// offset (metres). Compressed files (LAZ) are refused.
#pragma once

#include "scan/BinaerDatei.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

// Reads the points of a LAS file. A header that breaks the format, a compressed point format and a
// file that ends before its points raise EWolkenFehler with the byte offset and name of the
// header field.
TWolke LeseLas(const TBinaerDatei& datei, TScanMelder& melder);

}  // namespace zentrix
