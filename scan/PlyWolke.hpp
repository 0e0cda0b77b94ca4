// SPDX-License-Identifier: GPL-3.0-or-later
// PLY clouds: the header ("ply", the format ascii, binary_little_endian or binary_big_endian, its
// elements and their properties), then the elements in their order. The points are the element
// "vertex" with the properties x, y and z (metres) as float or double; every other property and
// element is passed over by its declared size (a list by its count).
#pragma once

#include "scan/BinaerDatei.hpp"
#include "scan/Steuerung.hpp"
#include "scan/Wolke.hpp"

namespace zentrix {

// Reads the points of a PLY file. A header that breaks the format raises EWolkenFehler with its
// line and field; a file that ends before its points, with the byte offset (binary) or the line
// and field (ascii) and the property where it ends; a number of an ascii file that is none, the
// coordinate reader's error. Points with a coordinate that is no number (NaN) are passed over
// and counted.
TWolke LesePly(const TBinaerDatei& datei, TScanMelder& melder);

}  // namespace zentrix
