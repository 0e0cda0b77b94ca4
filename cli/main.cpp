#include <cstdlib>  // defines __GLIBC__ with the C library
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <filesystem>
#include <iostream>

#include "cli/Cli.hpp"

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Large buffers (a file's text, a million points, a block of report lines) come from and go
    // straight back to the system, so that the peak memory follows the work at hand. Without a
    // fixed threshold the C library raises it to the largest buffer freed and keeps such buffers.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
#endif
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
