#include <filesystem>
#include <iostream>

#include "cli/Cli.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    zentrix::CliProzessEndet = true;
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return zentrix::RunCli(args, std::cin, std::cout, std::cerr, ec ? std::string(".") : cwd.string());
}
