// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a private temporary folder for the targets that read files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zentrix::fuzz {

// A folder of this process's own, removed when the process ends normally. It lies in the folder
// that scripts/fuzz.sh names in ZENTRIX_FUZZ_ORDNER and removes when it ends (a worker that
// libFuzzer stops never gets to remove its own), otherwise in memory where the system has
// /dev/shm (the targets write a file for every input).
inline const std::filesystem::path& Ordner() {
    static const std::filesystem::path ordner = [] {
        const char* vorgabe = std::getenv("ZENTRIX_FUZZ_ORDNER");
        const std::filesystem::path basis = vorgabe != nullptr && *vorgabe != '\0' ? std::filesystem::path(vorgabe)
                                            : std::filesystem::exists("/dev/shm")   ? std::filesystem::path("/dev/shm")
                                                                                    : std::filesystem::temp_directory_path();
        std::filesystem::path p = basis / ("zentrix_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        std::atexit([] { std::error_code ec; std::filesystem::remove_all(Ordner(), ec); });
        return p;
    }();
    return ordner;
}

// Writes the bytes to a file of the folder and returns its path.
inline std::string Datei(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string pfad = (Ordner() / name).string();
    std::FILE* f = std::fopen(pfad.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return pfad;
}

}  // namespace zentrix::fuzz
