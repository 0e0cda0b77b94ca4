// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/GrafikLaden.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace zentrix {

namespace {

using TSpeichere = decltype(&zentrix_speichere_grafik);

// The module, loaded once; null where it is missing or cannot be loaded (the reason in grund).
TSpeichere Laden(std::string& grund) {
    static std::string fehler;
    static const TSpeichere speichere = [] () -> TSpeichere {
        std::error_code ec;
        const std::filesystem::path programm = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) {
            fehler = "das Programm findet seinen Ordner nicht";
            return nullptr;
        }
        const std::filesystem::path ordner = programm.parent_path();
        for (const std::filesystem::path& p :
             {ordner / GrafikModulName, ordner.parent_path() / "lib" / "zentrix" / GrafikModulName}) {
            if (!std::filesystem::exists(p, ec)) continue;
            void* modul = dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (modul == nullptr) {
                fehler = dlerror();
                return nullptr;
            }
            if (void* f = dlsym(modul, "zentrix_speichere_grafik")) return reinterpret_cast<TSpeichere>(f);
            fehler = dlerror();
            return nullptr;
        }
        fehler = std::string(GrafikModulName) + " fehlt";
        return nullptr;
    }();
    grund = fehler;
    return speichere;
}

}  // namespace

std::string SpeichereGrafikMitModul(const TGrafik& g, const std::string& datei) {
    std::string grund;
    const TSpeichere speichere = Laden(grund);
    if (speichere == nullptr) return "Die Grafik kann nicht gezeichnet werden (" + grund + ").";
    std::string fehler;
    speichere(&g, datei.c_str(), &fehler);
    return fehler;
}

}  // namespace zentrix
