// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/GrafikLaden.hpp"

#include <filesystem>
#include <system_error>

#include "core/Plattform.hpp"

namespace zentrix {

namespace {

using TSpeichere = decltype(&zentrix_speichere_grafik);

// The module, loaded once; null where it is missing or cannot be loaded (the reason in grund).
TSpeichere Laden(std::string& grund) {
    static std::string fehler;
    static const TSpeichere speichere = [] () -> TSpeichere {
        const std::filesystem::path programm = plattform::Programmdatei(fehler);
        if (!fehler.empty()) return nullptr;
        const std::filesystem::path ordner = programm.parent_path(), name = plattform::Pfad(GrafikModulName());
        std::error_code ec;
        for (const std::filesystem::path& p : {ordner / name, ordner.parent_path() / "lib" / "zentrix" / "module" / name}) {
            if (!std::filesystem::exists(p, ec)) continue;
            return reinterpret_cast<TSpeichere>(plattform::LadeModulFunktion(p, "zentrix_speichere_grafik", fehler));
        }
        fehler = GrafikModulName() + " fehlt";
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
