// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Cli.hpp"
#include "cli/Standardausgabe.hpp"
#include "core/Plattform.hpp"
#include "core/Speicher.hpp"
#include "core/SystemFehler.hpp"

int main(int argc, char** argv) {
    zentrix::SpeicherEinrichten();
    // The arguments as UTF-8 (on Windows from the wide command line), the standard streams byte
    // for byte.
    const std::vector<std::string> args = zentrix::plattform::Programmstart(argc, argv);
    // Every write of the standard output is checked; a failed one ends the run with an error.
    zentrix::TGepruefteAusgabe ausgabe(stdout);
    std::ostream out(&ausgabe);
    int rc = zentrix::CliOk;
    if (args.size() == 1 && args[0] == "--version") {
        out << "zentrix-cli " ZENTRIX_VERSION "\n";
    } else {
#ifndef ZENTRIX_SANITIZE
        // The process ends after the command: a million points are not freed one by one (the leak
        // checker of a sanitizer build would call that a leak).
        zentrix::CliProzessEndet = true;
#endif
        std::error_code ec;
        const auto cwd = std::filesystem::current_path(ec);
        rc = zentrix::RunCli(args, std::cin, out, std::cerr, ec ? std::string(".") : zentrix::plattform::Text(cwd));
    }
    if (!ausgabe.Schliesse()) {
        std::cerr << "Die Ausgabe kann nicht geschrieben werden. " << zentrix::SystemReasonText(ausgabe.Fehler())
                  << ".\n";
        return zentrix::CliFehler;
    }
    return rc;
}
