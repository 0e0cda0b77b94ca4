#include <filesystem>
#include <iostream>

#include "cli/Cli.hpp"
#include "core/Speicher.hpp"

int main(int argc, char** argv) {
    zentrix::SpeicherEinrichten();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "zentrix-cli " ZENTRIX_VERSION "\n";
        return 0;
    }
#ifndef ZENTRIX_SANITIZE
    // The process ends after the command: a million points are not freed one by one (the leak
    // checker of a sanitizer build would call that a leak).
    zentrix::CliProzessEndet = true;
#endif
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return zentrix::RunCli(args, std::cin, std::cout, std::cerr, ec ? std::string(".") : cwd.string());
}
