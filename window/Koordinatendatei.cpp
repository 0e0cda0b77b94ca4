// "Rechne Datei": the coordinate file reader and the computation from it.
//
// A coordinate file holds records of five fields: Nr, three values and the sphere radius R. The
// data format chosen in "Datenformat" says what the three values are and where they go in the
// point record; the polar formats end up as (distance, direction in gon, height difference), the
// polar form the solver expects.

#include <cmath>
#include <string>

#include "numerics/Gleitkomma.hpp"
#include "numerics/Kugel.hpp"
#include "polar/Richtung.hpp"
#include "textio/Fehler.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"
#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {

namespace {

// Where the three values of a record are stored, and the grid headers of columns 1 to 3.
struct TDatenformat {
    double TPunkt::*Wert[3];
    const char* Kopf[3];
};

const TDatenformat Datenformate[8] = {
    {{&TPunkt::X, &TPunkt::Y, &TPunkt::Z}, {"X", "Y", "Höhe"}},   // Nr X Y Z R
    {{&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"Y", "X", "Höhe"}},   // Nr Y X Z R
    {{&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"S", "Ri", "dH"}},    // Nr Ri S dH R
    {{&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"S", "Ri", "Zd"}},    // Nr Ri S  Zd R
    {{&TPunkt::Y, &TPunkt::Z, &TPunkt::X}, {"S", "Ri", "Zd"}},    // Nr Ri Zd S R
    {{&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"D", "Ri", "dH"}},    // Nr Ri D dH R
    {{&TPunkt::Y, &TPunkt::X, &TPunkt::Z}, {"D", "Ri", "Zd"}},    // Nr Ri D Zd R
    {{&TPunkt::Y, &TPunkt::Z, &TPunkt::X}, {"D", "Ri", "Zd"}},    // Nr Ri ZD D R
};

}  // namespace

void TForm1::Button3Click() {
    const int format = RadioGroup1.ItemIndex;
    if (format < 0 || format > 7) RaiseRangeError();
    const TDatenformat& df = Datenformate[format];

    if (Edit2.Text.empty())
        throw EInOutError(3, "Kein Dateiname angegeben: bitte eine Koordinatendatei wählen (Doppelklick in das Dateifeld)");

    TTextReader datei;  // closed on every way out
    datei.Open(Edit2.Text);
    datei.CheckIO();

    Punkte.SetLength(1);
    Memo1.clear();
    ++Memo1Cleared;
    double R = 0;  // radius (metres) of the last record read

    for (;;) {
        const bool ende = datei.AtEndOfText();
        datei.CheckIO();
        if (ende) break;
        Punkte.SetLength(Punkte.Length() + 1);
        TPunkt& p = Punkte[Punkte.High()];
        // One record is one statement: its first failure is raised after the SkipLine.
        const std::uint32_t nr = datei.ReadUnsignedToken();
        for (int f = 0; f < 3; ++f) p.*df.Wert[f] = datei.ReadRealToken();
        R = datei.ReadRealToken();
        datei.SkipLine();
        datei.CheckIO();
        p.Name = IntegerToText(nr);
    }

    const bool polar = format >= 2;
    const long long n = Punkte.High();
    for (long long i = 1; i <= n; ++i) {
        TPunkt& p = Punkte[i];
        const long double zd = p.Z / Rho;  // zenith angle (radians)
        if (format == 3 || format == 4)
            // Height difference from the distance and the zenith angle: S * cot(Zd).
            p.Z = StoreDouble(Divide(1.0L, std::tan(zd)) * p.X);
        else if (format == 6 || format == 7)
            p.Z = StoreDouble(std::cos(zd) * p.X);
    }

    datei.Close();
    datei.CheckIO();

    Edit1.Text = RealToText(R);
    if (Kugelzentrierung(Punkte, static_cast<int>(n), polar, R, Memo1) != KugelOk)
        ShowMessage("Kugelmittelnpunkt Fehler");

    StringGrid1.SetRowCount(static_cast<int>(n + 2));
    StringGrid1.SetColCount(5);
    WriteGridHeaders(StringGrid1, df.Kopf[0], df.Kopf[1], df.Kopf[2], "vdH");
    FillGrid(StringGrid1, Punkte, TLabelArt::Name);
}

}  // namespace zentrix
