// Polar evaluation of an observation file.
//
// From one instrument station a surveyor points at several reflector spheres, each three or more
// times at its surface, and stores every pointing as one observation line "Nr Ri S Zd R rest"
// (gon, metres, gon, metres). Consecutive lines with the same point name belong to one sphere.
// Each sphere's pointings are reduced to rectangular coordinates with the station as origin
// (X towards direction 0, Y towards direction 100 gon, Z up), the solver fits the sphere of the
// known radius, and the centre goes back into the file as one more observation line before the
// sphere's pointings, which get a leading "*".

#include "polar/Polarauswertung.hpp"

#include <cmath>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/Fehler.hpp"
#include "core/SystemFehler.hpp"
#include "numerics/KugelBericht.hpp"
#include "numerics/Polar.hpp"
#include "textio/NumText.hpp"
#include "textio/TextFile.hpp"

namespace zentrix {

namespace {

namespace fs = std::filesystem;

// Capacity of the line buffer from which the fields are read, and of a name.
constexpr std::size_t LineCapacity = 255;
// I/O result code for an output file that would replace the input ("access refused").
constexpr int CodeAccessRefused = 5;

// The name under which a line is grouped: everything before the first blank, as stored. A line
// that begins with a blank or holds no blank at all has the empty name.
std::string_view GroupName(const std::string& line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) return {};
    return std::string_view(line).substr(0, blank < LineCapacity ? blank : LineCapacity);
}

std::string Cut(std::string text, std::size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

// The file's full path as the user should see it in a message.
std::string FullPath(const std::string& name) {
    std::error_code ec;
    const fs::path p = name.empty() ? fs::current_path(ec) : fs::absolute(fs::path(name), ec);
    if (ec) return name;
    return p.lexically_normal().string();
}

// True when both names lead to the same file, through links and relative parts alike.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(fs::path(a), fs::path(b), ec) && !ec) return true;
    // Where a file does not exist yet, compare the resolved paths.
    std::error_code eca, ecb;
    const fs::path ca = fs::weakly_canonical(fs::path(a), eca);
    const fs::path cb = fs::weakly_canonical(fs::path(b), ecb);
    if (!eca && !ecb) return ca == cb;
    return FullPath(a) == FullPath(b);
}

[[noreturn]] void RaiseCannotCreate(const std::string& name, int code, const std::string& reason) {
    throw EInOutError(code, "Datei \"" + FullPath(name) + "\" kann nicht erstellt werden. " + reason);
}

}  // namespace

std::string AusgabeBasis(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    // Where each character of the file's own name begins (the continuation bytes of a UTF-8
    // character belong to the character before).
    std::vector<std::size_t> chars;
    for (std::size_t i = start; i < fileName.size(); ++i)
        if ((static_cast<unsigned char>(fileName[i]) & 0xC0) != 0x80) chars.push_back(i);
    if (chars.size() >= 4) return fileName.substr(0, chars[chars.size() - 3]);
    return fileName + ".";
}

namespace {

// Reads one pointing into entry k: name, then direction Ri (gon), slope distance S (metres) and
// zenith distance Zd (gon) reduced to rectangular coordinates with the station as origin. Returns
// the line's sphere radius R (metres).
double ReducePointing(const std::string& line, TPunkt& p, const TMeldung& meldung) {
    std::string buffer = Cut(line, LineCapacity);
    p.Name = GetToken(buffer, LineCapacity);
    const double Ri = GetReal(buffer, LineCapacity, meldung);
    const double S = GetReal(buffer, LineCapacity, meldung);
    const double Zd = GetReal(buffer, LineCapacity, meldung);
    const double R = GetReal(buffer, LineCapacity, meldung);
    const TRechtwinklig xyz = Rechtwinklig({Ri, S, Zd});
    p.X = xyz.X;
    p.Y = xyz.Y;
    p.Z = xyz.Z;
    p.vR = 0;
    return R;
}

}  // namespace

// The centre (XM, YM, ZM, metres) as an observation from the station, laid out as an observation
// line: name, direction (gon), slope distance (metres), zenith distance (gon), radius field "0.00"
// and the codes of the sphere's first line (firstLine, already with its "*").
std::string KugelmittelpunktZeile(const TPunkt& centre, const std::string& firstLine) {
    // Straight above or below the station there is no zenith distance to be had.
    const TPolar b = Polar({centre.X, centre.Y, centre.Z});

    // Five fields (Nr, Ri, S, Zd, R) off the front; what remains are the codes.
    std::string rest = Cut(firstLine, LineCapacity);
    for (int field = 0; field < 5; ++field) GetToken(rest, LineCapacity);

    return Cut(FormatText("%s  %10.4f  %10.3f  %10.4f     0.00 %s", {centre.Name, b.Ri, b.S, b.Zd, rest}),
               LineCapacity);
}

namespace {

// Reduces the pointings lines[first..last] of one sphere into Punkte (entry 0 named after the
// first pointing) and returns the radius of the last one (metres).
double ReduceGroup(const std::vector<std::string>& lines, std::size_t first, std::size_t last, TPunktArray& Punkte,
                   const TMeldung& meldung) {
    const std::size_t n = last - first + 1;
    Punkte.SetLength(0);
    Punkte.SetLength(n + 1);
    double R = 0;
    for (std::size_t k = 1; k <= n; ++k)
        R = ReducePointing(lines[first + k - 1], Punkte[static_cast<long long>(k)], meldung);
    Punkte[0].Name = Punkte[1].Name;
    return R;
}

// The scan. The lines still to be examined are lines[pos..]; the marked file grows in the result
// as the scan passes. After an evaluated sphere the scan resumes on the sphere's last line, now
// marked, which therefore stays in lines[] (rewritten) instead of moving to the result.
std::vector<std::string> Scan(std::vector<std::string>& lines, TPunktArray& Punkte, TMemoLines& Memo,
                              const TMeldung& meldung, bool iterativ, std::vector<TKugelLoesung>& loesungen) {
    std::vector<std::string> marked;
    marked.reserve(lines.size() + lines.size() / 3 + 1);
    const std::size_t count = lines.size();
    std::size_t pos = 0;
    while (count - pos >= 3) {
        const std::string_view name = GroupName(lines[pos]);
        if (GroupName(lines[pos + 1]) != name || GroupName(lines[pos + 2]) != name) {
            marked.push_back(std::move(lines[pos]));
            ++pos;
            continue;
        }
        // The sphere runs as long as the name does, possibly to the last line of the file.
        std::size_t last = pos + 2;
        while (last + 1 < count && GroupName(lines[last + 1]) == name) ++last;
        const double R = ReduceGroup(lines, pos, last, Punkte, meldung);  // the last pointing's radius

        loesungen.push_back(KugelBerechnen(Punkte, static_cast<int>(last - pos + 1), false, R, Memo, {iterativ, true}));
        if (loesungen.back().Ergebnis != KugelErgebnis::Ok) {
            if (meldung) meldung(FehlerMeldung(loesungen.back()));
            for (std::size_t u = pos; u <= last; ++u) marked.push_back(std::move(lines[u]));
            pos = last + 1;
            continue;
        }
        for (std::size_t u = pos; u <= last; ++u) lines[u].insert(lines[u].begin(), '*');
        std::string centre = KugelmittelpunktZeile(Punkte[0], lines[pos]);
        Memo.push_back("Polarkoordinaten des Kugelmittelpunktes");
        Memo.push_back(centre);
        marked.push_back(std::move(centre));
        for (std::size_t u = pos; u < last; ++u) marked.push_back(std::move(lines[u]));
        pos = last;
    }
    for (; pos < count; ++pos) marked.push_back(std::move(lines[pos]));
    return marked;
}

}  // namespace

std::vector<TKugelLoesung> Polarauswertung(const std::string& fileName, TPunktArray& Punkte, TMemoLines& Memo,
                                           const TMeldung& meldung, bool iterativ) {
    Memo.clear();

    std::vector<std::string> lines;
    std::string reason;
    if (const int code = LoadLines(fileName, lines, &reason); code != 0)
        throw EInOutError(code, "Datei " + FullPath(fileName) + " kann nicht geöffnet werden. " +
                                    (reason.empty() ? IOErrorText(code) : reason));

    const std::string base = AusgabeBasis(fileName);
    const std::string markedName = base + "TXT";
    const std::string listingName = base + "LST";
    // An input named like an output would be replaced by it: refuse before any work.
    for (const std::string* out : {&markedName, &listingName})
        if (SameFile(*out, fileName))
            RaiseCannotCreate(*out, CodeAccessRefused, "Die Eingabedatei würde überschrieben");

    std::vector<TKugelLoesung> loesungen;
    const std::vector<std::string> marked = Scan(lines, Punkte, Memo, meldung, iterativ, loesungen);

    // Both files are written whole and put in place together: when one of them cannot be, neither
    // old file is replaced and no new one is left behind.
    std::size_t failed = 0;
    reason.clear();
    const std::vector<std::pair<std::string, const std::vector<std::string>*>> outputs = {{markedName, &marked},
                                                                                          {listingName, &Memo}};
    if (const int code = SaveLinesTogether(outputs, failed, &reason); code != 0)
        RaiseCannotCreate(outputs[failed].first, code, reason.empty() ? IOErrorText(code) : reason);
    return loesungen;
}

}  // namespace zentrix
