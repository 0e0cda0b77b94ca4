// SPDX-License-Identifier: GPL-3.0-or-later
// What an evaluated scan gives out: its report, each centre as an observation line for the network
// adjustment, each sphere's points as a coordinate file.
#pragma once

#include <string>
#include <vector>

#include "scan/Scan.hpp"

namespace zentrix {

// The report: a line on the cloud, a header, one line per sphere (name, points, outliers, centre,
// its polar form from the station, standard deviations, m0, free radius, cap) and a last line with
// the count of spheres and of the candidates turned down.
std::vector<std::string> ScanBericht(const TScanErgebnis& e);

// Each centre as an observation in the layout of the polar evaluation's centre lines: name, Ri, S,
// Zd (gon, metres, gon) and 0.00.
std::vector<std::string> ScanBeobachtungen(const std::vector<TScanKugel>& kugeln);

// A sphere's points as a coordinate file in data format 0: "Nr X Y Z R", numbered from 1 in the
// order of the sphere's list, coordinates to 0.01 mm, the radius R (metres, all its digits) in
// every line; each line ended by CR LF.
std::string ScanKoordinaten(const TScanKugel& kugel, double R);

// Writes each sphere's points into ordner/<name>.kor (the folder made where it is missing), each
// file whole. Returns 0, or the I/O code of the first failure with the file and the system's reason
// (German) in datei and grund.
int SchreibePunktdateien(const std::vector<TScanKugel>& kugeln, double R, const std::string& ordner,
                         std::string& datei, std::string& grund);

}  // namespace zentrix
