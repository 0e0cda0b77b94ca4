// SPDX-License-Identifier: GPL-3.0-or-later
#include "textio/Abbild.hpp"

#include <algorithm>
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

// How often c occurs in the text: a fixed run of bytes at a time, compared all at once by the
// compiler's vector instructions (faster than a search that stops at each line's end).
std::size_t Anzahl(std::string_view text, char c) {
    constexpr std::size_t Lauf = 4096;
    std::size_t n = 0, i = 0;
    for (; i + Lauf <= text.size(); i += Lauf) {
        unsigned treffer = 0;
        for (std::size_t k = 0; k < Lauf; ++k) treffer += text[i + k] == c ? 1u : 0u;
        n += treffer;
    }
    for (; i < text.size(); ++i) n += text[i] == c ? 1 : 0;
    return n;
}

}  // namespace

std::size_t Zaehle(std::string_view text, char c, const TDateiAbbild* abbild) {
    std::size_t n = 0;
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        n += Anzahl(stueck, c);
        if (abbild != nullptr) abbild->Freigeben(stueck.data(), stueck.data() + stueck.size());
    }
    return n;
}

TZaehlung ZaehleBis(std::string_view text, char c, char ende, const TDateiAbbild* abbild) {
    TZaehlung z;
    for (std::size_t von = 0; von < text.size(); von += Strecke) {
        const std::string_view stueck = text.substr(von, Strecke);
        // A run of bytes at a time, c counted and `ende` looked for at once (both by the
        // compiler's vector instructions); the run with an `ende` counted again up to it.
        constexpr std::size_t Lauf = 4096;
        for (std::size_t i = 0; i < stueck.size(); i += Lauf) {
            const char* b = stueck.data() + i;
            const std::size_t laenge = std::min(Lauf, stueck.size() - i);
            unsigned treffer = 0, halt = 0;
            if (laenge == Lauf) {
                for (std::size_t k = 0; k < Lauf; ++k) {
                    treffer += b[k] == c ? 1u : 0u;
                    halt |= b[k] == ende ? 1u : 0u;
                }
            } else {
                for (std::size_t k = 0; k < laenge; ++k) {
                    treffer += b[k] == c ? 1u : 0u;
                    halt |= b[k] == ende ? 1u : 0u;
                }
            }
            if (halt != 0) {
                const std::string_view lauf(b, laenge);
                const std::size_t da = lauf.find(ende);
                z.Anzahl += Anzahl(lauf.substr(0, da), c);
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
