#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Cli.hpp"
#include "cli/Standardausgabe.hpp"
#include "core/Speicher.hpp"
#include "core/SystemFehler.hpp"

int main(int argc, char** argv) {
    zentrix::SpeicherEinrichten();
    std::vector<std::string> args(argv + 1, argv + argc);
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
        rc = zentrix::RunCli(args, std::cin, out, std::cerr, ec ? std::string(".") : cwd.string());
    }
    if (!ausgabe.Schliesse()) {
        std::cerr << "Die Ausgabe kann nicht geschrieben werden. " << zentrix::SystemReasonText(ausgabe.Fehler())
                  << ".\n";
        return zentrix::CliFehler;
    }
    return rc;
}
