// SPDX-License-Identifier: GPL-3.0-or-later
// zentrix-cli scan: the spheres of a laser scan, found and adjusted, for scripts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>
#include <nlohmann/json.hpp>

#include "scan/ScanKugel.hpp"

namespace CLI {
class App;
}

namespace zentrix {

// What "scan" was asked for.
struct TScanAufruf {
    std::string wolke;                      // the cloud file
    std::string radius;                     // metres, a number with a decimal point (checked by the parser)
    std::vector<std::string> standpunkt;    // X Y Z (metres, checked), or empty: the cloud's origin
    bool json = false;
    std::string kugeln;               // the overview's CSV
    std::string punkte;               // a folder for each sphere's coordinate file
    std::string beobachtungen;        // the centres as observation lines
};

// The subcommand "scan" with its options, on the batch tool's parser.
CLI::App* ScanBefehl(CLI::App& app, TScanAufruf& a);

// One sphere with its statistics and the figures that judged it, as "kugeln" holds it; never its
// points.
nlohmann::json ScanKugelJson(const TScanKugel& k);

// Runs it: as text the report on out and the messages and the error (each with its place) on err;
// with --json one object on out. Then writes the files asked for. Returns the exit code (CliOk,
// CliMeldung where no sphere was found, CliFehler where the cloud cannot be read or a file not
// written).
int FuehreScanAus(const TScanAufruf& a, std::ostream& out, std::ostream& err);

}  // namespace zentrix
