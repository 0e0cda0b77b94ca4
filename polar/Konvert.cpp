// "Konvert": polar observations from one instrument station into a coordinate file.
//
// The station stands at (100, 100, 100) of a local system. An observation gives the horizontal
// direction Ri (gon, from +X towards +Y), the zenith distance Zd (gon, 0 = zenith) and the slope
// distance S (metres) to a point on the reflector sphere; the sphere's radius R (metres) is passed
// through unchanged.
#include "polar/Konvert.hpp"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Polar.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

std::size_t Konvert(const std::string& directory) {
    const std::filesystem::path folder(directory);
    const std::string inputPath = (folder / "test2.beb").string();
    const std::string outputPath = (folder / "test2.Kor").string();

    TTextReader input;
    input.Open(inputPath);
    input.CheckIO();  // a missing input creates no output

    // A coordinate file that is there stays as it is when the conversion fails; where there is
    // none, the records converted before the failure are written.
    std::error_code ec;
    const bool vorhanden = std::filesystem::symlink_status(outputPath, ec).type() != std::filesystem::file_type::not_found;

    TTextWriter output;
    output.Create(outputPath);
    if (!output.IsOpen()) {
        input.Close();
        output.CheckIO();
    }

    std::size_t geschrieben = 0;
    try {
        while (!input.AtEndOfText()) {
            input.CheckIO();
            // One record as one statement; its first failure is raised after the SkipLine.
            const std::int32_t nr = input.ReadIntegerToken();
            const double ri = input.ReadRealToken();  // direction (gon)
            const double zd = input.ReadRealToken();  // zenith distance (gon)
            const double s = input.ReadRealToken();   // slope distance (metres)
            const double r = input.ReadRealToken();   // sphere radius (metres)
            input.SkipLine();
            input.CheckIO();

            // Each of Z, the horizontal distance, X and Y is worked out in extended precision and
            // stored as a double before it is used further.
            const TReduktion sicht = Reduktion(s, zd);
            const double z = StoreDouble(sicht.Hoehe + 100.0L);
            const double horizontal = StoreDouble(sicht.Horizontal);  // metres
            const TPlan plan = Plan(horizontal, ri);
            const double x = StoreDouble(plan.X + 100.0L);
            const double y = StoreDouble(plan.Y + 100.0L);

            output.WriteLine(FormatText("%5d %12.3f %12.3f %12.3f %10.3f", {nr, x, y, z, r}));
            output.CheckIO();
            ++geschrieben;
        }
        input.CheckIO();
    } catch (...) {
        // The first failure is the one reported.
        input.Close();
        if (!vorhanden) output.Close();
        throw;
    }

    input.Close();
    input.CheckIO();
    output.Close();
    output.CheckIO();
    return geschrieben;
}

}  // namespace zentrix
