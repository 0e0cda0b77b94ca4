// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the tests: a temporary folder and point sets on known spheres.
#pragma once

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/Ausfuehrer.hpp"
#include "numerics/Punkt.hpp"

namespace zentrix::test {

namespace fs = std::filesystem;

// An exhausted disk quota: EDQUOT where the system has it (Windows reports it as a full disk).
#ifdef EDQUOT
constexpr int KontingentVoll = EDQUOT;
#else
constexpr int KontingentVoll = ENOSPC;
#endif

// A fresh folder under the system's temporary folder, removed with everything in it (write
// protection set by a test is lifted first).
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("zentrix-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        // A swap's old outputs may still be going beside.
        zentrix::TAusfuehrer::Gemeinsam().NebenherAbwarten();
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        std::error_code weiter;
        for (fs::recursive_directory_iterator e(path_, weiter), ende; !weiter && e != ende; e.increment(weiter))
            fs::permissions(e->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Writes bytes into a file of the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return File(name);
    }

private:
    fs::path path_;
};

inline std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using XYZ = std::vector<std::vector<double>>;

// Six points on the sphere of radius 3 around (10, 20, 5), every coordinate an integer.
inline const XYZ ExactSphere = {{8, 18, 6}, {9, 18, 7}, {8, 19, 7}, {12, 22, 6}, {8, 21, 7}, {8, 22, 6}};

// Six points (metres) on the sphere of radius r around (cx, cy, cz), spread over its upper half.
inline XYZ SpherePoints(double cx, double cy, double cz, double r) {
    XYZ p;
    const double directions[6] = {0.3, 1.4, 2.2, 3.5, 4.4, 5.6};  // radians around the vertical
    const double heights[6] = {0.2, 0.9, 0.4, 1.1, 0.6, 0.15};     // elevation above the equator
    for (int i = 0; i < 6; ++i)
        p.push_back({cx + r * std::cos(heights[i]) * std::cos(directions[i]),
                     cy + r * std::cos(heights[i]) * std::sin(directions[i]), cz + r * std::sin(heights[i])});
    return p;
}

// A point list with the given points from entry 1 on; entry 0 named centreName. With names the
// points are named K1, K2, ...
inline TPunktArray Points(const XYZ& xyz, const std::string& centreName = "", bool names = false) {
    TPunktArray p(xyz.size() + 1);
    p[0].Name = centreName;
    for (std::size_t i = 0; i < xyz.size(); ++i) {
        if (names) p[static_cast<long long>(i) + 1].Name = std::string("K").append(std::to_string(i + 1));
        p[static_cast<long long>(i) + 1].X = xyz[i][0];
        p[static_cast<long long>(i) + 1].Y = xyz[i][1];
        p[static_cast<long long>(i) + 1].Z = xyz[i][2];
    }
    return p;
}

}  // namespace zentrix::test
