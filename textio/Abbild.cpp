// SPDX-License-Identifier: GPL-3.0-or-later
#include "textio/Abbild.hpp"

#include <cerrno>
#include <cstring>

#include "core/EACode.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"

namespace zentrix {

namespace {

// The first bytes that tell whether a file is text (as for reading a whole file).
constexpr std::size_t Textprobe = 64 * 1024;

bool IstText(std::string_view anfang) {
    for (const std::string_view marke : {std::string_view("\xFF\xFE", 2), std::string_view("\xFE\xFF", 2),
                                         std::string_view("\x00\x00\xFE\xFF", 4)})
        if (anfang.substr(0, marke.size()) == marke) return false;
    return anfang.substr(0, Textprobe).find('\0') == std::string_view::npos;
}

// The stretch a scan of a mapped file looks at before it gives it back (bytes).
constexpr std::size_t Strecke = 1u << 20;

// A run of bytes compared at once by the compiler's vector instructions (its length known when
// compiled for every run but the last): faster than a search that stops at each line's end.
constexpr std::size_t Lauf = 4096;

// In the n bytes at b (N of them where N > 0): how often c occurs (added to treffer), and whether
// `ende` does (halt).
template <std::size_t N>
void Vergleiche(const char* b, std::size_t n, char c, char ende, unsigned& treffer, unsigned& halt) {
    for (std::size_t k = 0; k < (N > 0 ? N : n); ++k) {
        treffer += b[k] == c ? 1u : 0u;
        halt |= b[k] == ende ? 1u : 0u;
    }
}

}  // namespace

TZaehlung ZaehleBis(std::string_view text, char c, char ende, const TDateiAbbild* abbild) {
    TZaehlung z;
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        for (std::size_t i = 0; i < stueck.size(); i += Lauf) {
            const std::string_view lauf = stueck.substr(i, Lauf);
            unsigned treffer = 0, halt = 0;
            if (lauf.size() == Lauf) Vergleiche<Lauf>(lauf.data(), Lauf, c, ende, treffer, halt);
            else Vergleiche<0>(lauf.data(), lauf.size(), c, ende, treffer, halt);
            if (halt != 0) {
                // The run counted again up to its `ende`.
                const std::size_t da = lauf.find(ende);
                treffer = 0;
                Vergleiche<0>(lauf.data(), da, c, ende, treffer, halt);
                z.Anzahl += treffer;
                z.Ende = von + i + da;
                if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
                return z;
            }
            z.Anzahl += treffer;
        }
        if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
    }
    return z;
}

std::size_t Finde(std::string_view text, char c, const TDateiAbbild* abbild) {
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        const std::size_t da = stueck.find(c);
        if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
        if (da != std::string_view::npos) return von + da;
    }
    return std::string_view::npos;
}

int TDateiAbbild::Oeffne(const std::string& pfad, int& err) {
    Schliesse();
    plattform::TDatei datei;
    plattform::TInfo info;
    if (const int code = ablage::OeffneZumLesen(pfad, datei, info, err); code != 0) return code;
    if ((err = ansicht_.Oeffne(datei)) != 0) return IOCodeFromErrno(err);
    text_ = ansicht_.Text();
    if (!IstText(text_)) {
        Schliesse();
        return ea::KeineTextdatei;
    }
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
    return 0;
}

void TDateiAbbild::Freigeben(const char* von, const char* bis) const {
    const char* basis = ansicht_.Text().data();
    if (basis == nullptr || bis <= von) return;
    ansicht_.Freigeben(static_cast<std::size_t>(von - basis), static_cast<std::size_t>(bis - basis));
}

}  // namespace zentrix
