// SPDX-License-Identifier: GPL-3.0-or-later
// The scan for spheres: groups found in file order, evaluated a batch at a time on both cores,
// and handed on (marked lines, report lines, messages) exactly in the order a single pass gives.
//
// A sphere's evaluation depends only on its own lines. What the scan does after it does not
// depend on its outcome either, save in one case: after an evaluated sphere the scan looks again
// at its last line, now marked, and that line starts a sphere of its own only if the next two
// lines have the marked name. Where that is so, the batch ends there and the outcome is waited for.
#include "polar/Kugelsuche.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <exception>
#include <future>
#include <string>

#include "core/Ausfuehrer.hpp"
#include "core/Fehler.hpp"
#include "numerics/KugelIterativ.hpp"
#include "numerics/Loeser.hpp"
#include "numerics/Polar.hpp"
#include "textio/NumText.hpp"

namespace zentrix {

namespace {

// One line of the file as the scan sees it: its text in the file, and how many "*" the scan has
// put in front of it.
struct TZeile {
    std::string_view text;
    int sterne = 0;
    long long nr = 0;  // its number in the file, from 1
    // Where its first blank stands in text (npos: none), for the name of an unmarked line; set
    // where the line is read.
    std::size_t leer = std::string_view::npos;
};

// The line as it now stands, in buf.
std::string_view Gespeichert(const TZeile& z, std::string& buf) {
    if (z.sterne == 0) return z.text;
    buf.assign(static_cast<std::size_t>(z.sterne), '*');
    buf.append(z.text);
    return buf;
}

// The name under which a line is grouped: everything before the first blank of the line as it
// stands, cut to 255 characters. A line that begins with a blank or holds no blank at all has the
// empty name.
std::string_view GroupName(const TZeile& z, std::string& buf) {
    // An unmarked line: where its first blank stands was looked for when it was read.
    if (z.sterne == 0) return z.text.substr(0, z.leer == std::string_view::npos ? 0 : std::min(z.leer, LineCapacity));
    const std::string_view text = Gespeichert(z, buf);
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return {};
    return text.substr(0, std::min(blank, LineCapacity));
}

// How the lines of both output files end.
constexpr std::string_view ZeilenEnde = "\r\n";

// The length of one line of the marked file, and the line appended.
std::size_t ZeilenLaenge(int sterne, std::string_view text) {
    return static_cast<std::size_t>(sterne) + text.size() + ZeilenEnde.size();
}
void Zeile(std::string& out, int sterne, std::string_view text) {
    out.append(static_cast<std::size_t>(sterne), '*');
    out.append(text);
    out.append(ZeilenEnde);
}

// The lines of a text one after another (CR LF, LF or CR ends a line; a last line without line end
// counts).
class TZeilenLeser {
public:
    explicit TZeilenLeser(std::string_view text) : text_(text), cr_(Suche('\r')), lf_(Suche('\n')) {}
    std::size_t Laenge() const { return text_.size(); }
    // Where the next line begins.
    const char* Stelle() const { return text_.data() + pos_; }
    // The share of the text read (0 to 1).
    double Anteil() const {
        return text_.empty() ? 1.0 : static_cast<double>(pos_) / static_cast<double>(text_.size());
    }
    bool Naechste(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        // The next CR and the next LF, each found by the library's fast search and kept until the
        // reading has passed it: a file of one kind of line end is searched once for the other.
        if (cr_ < pos_) cr_ = Suche('\r');
        if (lf_ < pos_) lf_ = Suche('\n');
        const std::size_t ende = std::min(cr_, lf_);
        line = text_.substr(pos_, ende - pos_);
        const bool crlf = ende == cr_ && lf_ == ende + 1;
        pos_ = ende >= text_.size() ? text_.size() : ende + (crlf ? 2 : 1);
        return true;
    }

private:
    std::size_t Suche(char c) const {
        if (pos_ >= text_.size()) return text_.size();
        const void* p = std::memchr(text_.data() + pos_, c, text_.size() - pos_);
        return p == nullptr ? text_.size() : static_cast<std::size_t>(static_cast<const char*>(p) - text_.data());
    }
    std::string_view text_;
    std::size_t pos_ = 0;               // where the next line begins
    std::size_t cr_, lf_;               // the next CR and LF at or behind pos_ (the size: none)
};

// Where the field being read stands, for a message about it: the sphere, the line's number in
// the file (from 1), the field (from 1) and the line from that field on.
struct TFeldOrt {
    const TMeldungMitOrt* meldung;
    const TName* name;
    long long zeile = 0;
    int feld = 0;
    std::string_view vorher;
    bool unlesbar = false;  // the field could not be read (told by its messages)
    // The first value the sphere's computation needs that could not be read, as its reason:
    // "Zeile 12, Feld 2: „350.5x4939“ ist keine Zahl" (empty: every one was read).
    std::string lesefehler;

    TOrt Ort() const {
        std::string_view rest = vorher;
        return TOrt{{}, name->str(), zeile, 0, feld, Zitat(GetToken(rest, LineCapacity)), {}, -1, -1, {}};
    }
    // A message about the field (its text the first word of vorher).
    void operator()(const std::string& text) {
        unlesbar = true;
        (*meldung)(text, Ort());
    }
};

// Reads one pointing into p: name, then direction Ri (gon), slope distance S (metres) and zenith
// distance Zd (gon) reduced to rectangular coordinates with the station as origin. Returns the
// line's sphere radius R (metres). A field that is no number is told through merke, which says
// where it stands by ort (the line's number set by the caller); the first such field among those
// the computation needs (the radius only where mitRadius) goes into ort.lesefehler.
double ReducePointing(std::string_view line, TPunkt& p, const TMeldung& merke, TFeldOrt& ort, bool mitRadius) {
    std::string_view buffer = line.substr(0, LineCapacity);
    p.Name = GetToken(buffer, LineCapacity);
    ort.name = &p.Name;
    ort.feld = 1;
    auto zahl = [&](bool gebraucht) {
        ++ort.feld;
        ort.vorher = buffer;
        ort.unlesbar = false;
        const double wert = GetReal(buffer, LineCapacity, merke);
        if (ort.unlesbar && gebraucht && ort.lesefehler.empty()) {
            TOrt o = ort.Ort();
            o.Kugel.clear();
            ort.lesefehler = OrtText(o) + " ist keine Zahl";
        }
        return wert;
    };
    const double Ri = zahl(true);
    const double S = zahl(true);
    const double Zd = zahl(true);
    const double R = zahl(mitRadius);
    const TRechtwinklig xyz = Rechtwinklig({Ri, S, Zd});
    p.X = xyz.X;
    p.Y = xyz.Y;
    p.Z = xyz.Z;
    p.vR = 0;
    return R;
}

// One sphere and what its evaluation gave, to be handed on in order.
struct TGruppe {
    std::vector<TZeile> zeilen;          // its lines as they stand
    TPunktArray punkte;                  // its points and results
    TMemoLines bericht;                  // its report lines
    std::vector<TOrtsMeldung> meldungen;  // its messages with their places, in order
    TKugelEintrag eintrag;                // its row of the sphere overview
    std::optional<TKugelLoesung> loesung;
    std::string mittelpunkt;             // the centre line of an evaluated sphere
    std::exception_ptr fehler;           // a fault that ends the scan at this sphere
    // Both outputs' text for the sphere, laid out where it was evaluated: the listing's (the report
    // lines) and the marked file's (the centre line, then its lines with their new "*").
    std::string liste, markiert;
};

void Ausgaben(TGruppe& g) {
    g.liste.clear();
    g.bericht.TextAnhaengen(g.liste, 0, g.bericht.size(), ZeilenEnde);
    g.markiert.clear();
    const bool ok = !g.mittelpunkt.empty();
    if (ok) Zeile(g.markiert, 0, g.mittelpunkt);
    for (const TZeile& z : g.zeilen) Zeile(g.markiert, z.sterne + (ok ? 1 : 0), z.text);
}

// The overview's figures of a sphere the solver has computed or failed.
void Eintragen(TKugelEintrag& e, const TKugelLoesung& L, const TPunktArray& punkte) {
    e.Ergebnis = L.Ergebnis;
    e.Grund = FehlerGrund(L);
    e.Iterativ = L.Iterativ;
    e.Unsicher = Unsicher(L);
    if (L.Ergebnis != KugelErgebnis::Ok || !L.Ausgleichung) return;
    e.m0 = L.Ausgleichung->m0;
    for (int i = 1; i <= L.n; ++i) e.MaxVR = std::max(e.MaxVR, std::fabs(punkte[i].vR));
    if (L.Konvergenz) {
        e.Ausreisser = L.Konvergenz->Ausreisser;
        e.Radius = L.Konvergenz->Radius;
    }
}

void BewerteKugel(TGruppe& g, bool iterativ) {
    const std::size_t n = g.zeilen.size();
    TKugelEintrag& e = g.eintrag;
    e = TKugelEintrag{};
    e.ErsteZeile = g.zeilen.front().nr;
    e.Punkte = static_cast<int>(n);
    const TMeldungMitOrt merke = [&g](const std::string& text, const TOrt& ort) { g.meldungen.push_back({text, ort}); };
    // A failed sphere's message names it, its lines and the reason.
    auto fehlgeschlagen = [&](const TKugelLoesung& L) {
        Eintragen(e, L, g.punkte);
        merke(FehlerMeldung(L), TOrt{{}, e.Name.str(), e.ErsteZeile, e.LetzteZeile(), 0, {}, {}, -1, -1, e.Grund.str()});
    };
    double R = 0;  // the radius of the sphere's last pointing counts (metres)
    try {
        g.punkte.SetLength(0);
        g.punkte.SetLength(n + 1);
        thread_local std::string zeile;  // a marked line as it stands (its memory kept for the next sphere)
        TFeldOrt ort{&merke, nullptr, 0, 0, {}, false, {}};
        const TMeldung feld = [o = &ort](const std::string& text) { (*o)(text); };  // small: no allocation
        for (std::size_t k = 1; k <= n; ++k) {
            ort.zeile = g.zeilen[k - 1].nr;
            R = ReducePointing(Gespeichert(g.zeilen[k - 1], zeile), g.punkte[static_cast<long long>(k)], feld, ort, k == n);
        }
        g.punkte[0].Name = g.punkte[1].Name;
        e.Name = g.punkte[1].Name;
        if (!ort.lesefehler.empty()) {
            // A value that could not be read is no 0: the sphere is not computed, and neither
            // solver is asked (no report lines, nothing for "Iterieren" to compute).
            g.loesung = TKugelLoesung{};
            g.loesung->Ergebnis = KugelErgebnis::Lesefehler;
            g.loesung->Iterativ = iterativ;
            g.loesung->Fehlertext = std::move(ort.lesefehler);
            g.loesung->n = static_cast<int>(n);
            g.loesung->R = R;
            fehlgeschlagen(*g.loesung);
            return;
        }
        g.loesung = LoeseKugel(g.punkte, static_cast<int>(n), false, R, {iterativ, true});
        SchreibeKugelBericht(*g.loesung, g.punkte, g.bericht);
        if (g.loesung->Ergebnis != KugelErgebnis::Ok) {
            e.MitIterieren = !iterativ && IterativLoesbar(g.punkte, static_cast<int>(n), R, true);
            fehlgeschlagen(*g.loesung);
            return;
        }
        // The centre line takes the codes of the sphere's first line with its new mark.
        const TZeile erste{g.zeilen[0].text, g.zeilen[0].sterne + 1};
        e.Mittelpunkt = Polar({g.punkte[0].X, g.punkte[0].Y, g.punkte[0].Z});
        KugelmittelpunktZeile(g.mittelpunkt, g.punkte[0].Name, e.Mittelpunkt, Gespeichert(erste, zeile));
        g.bericht.push_back("Polarkoordinaten des Kugelmittelpunktes");
        g.bericht.push_back(g.mittelpunkt);
        Eintragen(e, *g.loesung, g.punkte);
    } catch (const EMathError& fehler) {
        // An arithmetic fault outside the solver (a distance beyond a double's range, a centre
        // straight above the station) fails this sphere like one of the solver (which hands back
        // its own): it stays unmarked, the day goes on. The report lines written before it stay.
        g.loesung = TKugelLoesung{};
        g.loesung->Ergebnis = KugelErgebnis::Rechenfehler;
        g.loesung->Iterativ = iterativ;
        g.loesung->Fehlertext = fehler.what();
        g.loesung->n = static_cast<int>(n);
        g.loesung->R = R;
        g.mittelpunkt.clear();
        e.Mittelpunkt = {};
        if (e.Name.empty() && n > 0) e.Name = g.punkte[1].Name;
        fehlgeschlagen(*g.loesung);
    } catch (...) {
        g.fehler = std::current_exception();
    }
}

// A batch of spheres with the lines between them, in file order. Its spheres are evaluated on
// whichever cores the executor has free, a few to a piece of work.
struct TStapel {
    struct TPosten {
        TZeile zeile;  // a line outside a sphere
        int gruppe;    // or the sphere gruppen[gruppe]
    };
    std::vector<TPosten> posten;
    std::deque<TGruppe> gruppen;  // the first anzahl are this batch's (the rest keep their memory)
    std::size_t anzahl = 0;
    bool offen = false;  // ends with a sphere whose outcome decides what comes next
    std::vector<std::future<void>> auftraege;  // its spheres' evaluation under way

    TGruppe& NeueGruppe() {
        if (anzahl == gruppen.size()) gruppen.emplace_back();
        TGruppe& g = gruppen[anzahl++];
        g.zeilen.clear();
        g.bericht.Leeren();
        g.meldungen.clear();
        g.eintrag = TKugelEintrag{};
        g.loesung.reset();
        g.mittelpunkt.clear();
        g.fehler = nullptr;
        return g;
    }
    // Evaluates spheres von..bis and lays out their outputs.
    void Bewerte(std::size_t von, std::size_t bis, bool iterativ) {
        for (std::size_t i = von; i < bis; ++i) {
            BewerteKugel(gruppen[i], iterativ);
            Ausgaben(gruppen[i]);
        }
    }
};

// Texts from this size (bytes) on are evaluated on all cores; a shorter one is done before the
// work would have been handed out.
constexpr std::size_t AufAllenKernenAb = 64u << 10;
// Spheres evaluated as one piece of work.
constexpr std::size_t KugelnJeAuftrag = 32;

// The scan: a grouper that collects the batches in file order, their spheres evaluated on the
// executor's cores meanwhile, and handed on in order. Two batches are under way at a time: while
// the cores evaluate one, the next is collected; the scan helps with the evaluation while it waits.
class TScan {
public:
    TScan(std::string_view text, TMemoLines& Memo, const TMeldungMitOrt& meldung, bool iterativ,
          const TKugelAusgaben& aus, std::size_t stapel, const TFortschritt& fortschritt, TAusfuehrer& ausfuehrer,
          long long zeilenVorher)
        : leser_(text), ausfuehrer_(ausfuehrer), zeilen_(zeilenVorher), Memo_(Memo), meldung_(meldung), iterativ_(iterativ), aus_(aus),
          groesse_(std::max<std::size_t>(stapel, 1)), fortschritt_(fortschritt),
          verteilt_(text.size() >= AufAllenKernenAb) {}
    // The work under way uses the batches: it ends before they go.
    ~TScan() {
        for (TStapel& s : paar_)
            for (const std::future<void>& f : s.auftraege)
                if (f.valid()) ausfuehrer_.Abwarten(f);
    }

    TKugelsuche Lauf() {
        std::deque<TStapel*> laufend;  // collected and not yet handed on, oldest first
        bool ende = false;
        while (!ende || !laufend.empty()) {
            // A deciding sphere must be handed on before the scan goes on.
            const bool blockiert = !laufend.empty() && laufend.back()->offen;
            if (!ende && !blockiert && laufend.size() < 2) {
                TStapel& s = paar_[naechster_++ % 2];
                ende = !Stapel(s);
                Starte(s);
                laufend.push_back(&s);
                continue;
            }
            TStapel& aelteste = *laufend.front();
            for (std::future<void>& f : aelteste.auftraege) ausfuehrer_.Hole(f);
            aelteste.auftraege.clear();
            laufend.pop_front();
            Weitergeben(aelteste);
            if (aus_.Gelesen) aus_.Gelesen(ErsteNochGebraucht(laufend));
            if (fortschritt_) fortschritt_(leser_.Anteil());
        }
        std::string rest;
        for (const TZeile& z : fenster_) Zeile(rest, z.sterne, z.text);
        for (std::string_view l; leser_.Naechste(l);) Zeile(rest, 0, l);
        aus_.Markiert(rest);
        return std::move(ergebnis_);
    }

private:
    // The batch's spheres to the executor, a few to a piece of work (a short text: at once).
    void Starte(TStapel& s) {
        if (!verteilt_) {
            s.Bewerte(0, s.anzahl, iterativ_);
            return;
        }
        for (std::size_t von = 0; von < s.anzahl; von += KugelnJeAuftrag) {
            const std::size_t bis = std::min(s.anzahl, von + KugelnJeAuftrag);
            s.auftraege.push_back(ausfuehrer_.Starte([&s, von, bis, this] { s.Bewerte(von, bis, iterativ_); }));
        }
    }

    // The first place of the text still looked at: the first line of the batch under way, or
    // of the lines read ahead, or where the reading stands.
    const char* ErsteNochGebraucht(const std::deque<TStapel*>& laufend) const {
        if (!laufend.empty() && !laufend.front()->posten.empty()) {
            const TStapel& s = *laufend.front();
            const auto& erster = s.posten.front();
            return erster.gruppe < 0 ? erster.zeile.text.data()
                                     : s.gruppen[static_cast<std::size_t>(erster.gruppe)].zeilen.front().text.data();
        }
        return fenster_.empty() ? leser_.Stelle() : fenster_.front().text.data();
    }

    // Two names are equal when they have the same characters, letter case included.
    bool GleicherName(const TZeile& a, const TZeile& b) { return GroupName(a, name1_) == GroupName(b, name2_); }

    bool Fuelle(std::size_t k) {
        for (std::string_view l; fenster_.size() < k && leser_.Naechste(l);)
            fenster_.push_back({l, 0, ++zeilen_, l.find(' ')});
        return fenster_.size() >= k;
    }

    // Collects the next batch: the lines before each sphere and the sphere. A sphere whose outcome
    // decides what comes next ends the batch, its lines staying in front. False at the end of the
    // text.
    bool Stapel(TStapel& s) {
        s.posten.clear();
        s.anzahl = 0;
        s.offen = false;
        while (s.anzahl < groesse_) {
            if (!Fuelle(3)) return false;
            if (!GleicherName(fenster_[0], fenster_[1]) || !GleicherName(fenster_[0], fenster_[2])) {
                s.posten.push_back({fenster_.front(), -1});
                fenster_.pop_front();
                continue;
            }
            // The sphere runs as long as the name does, possibly to the last line of the file.
            std::size_t last = 2;
            while (Fuelle(last + 2) && GleicherName(fenster_[last + 1], fenster_[0])) ++last;
            TGruppe& g = s.NeueGruppe();
            g.zeilen.assign(fenster_.begin(), fenster_.begin() + static_cast<std::ptrdiff_t>(last + 1));
            s.posten.push_back({{}, static_cast<int>(s.anzahl - 1)});
            const TZeile markiert{fenster_[last].text, fenster_[last].sterne + 1};
            if (Fuelle(last + 3) && GleicherName(markiert, fenster_[last + 1]) &&
                GleicherName(markiert, fenster_[last + 2])) {
                s.offen = true;
                return true;
            }
            fenster_.erase(fenster_.begin(), fenster_.begin() + static_cast<std::ptrdiff_t>(last + 1));
        }
        return true;
    }

    // Hands the batch on in order. For the sphere that decides (offen), its lines are still in
    // front of the window: an evaluated one leaves its marked last line there to be looked at again.
    void Weitergeben(TStapel& s) {
        markiert_.clear();
        for (const auto& [zeile, index] : s.posten) {
            if (index < 0) {
                Zeile(markiert_, zeile.sterne, zeile.text);
                continue;
            }
            TGruppe& g = s.gruppen[static_cast<std::size_t>(index)];
            for (const TOrtsMeldung& m : g.meldungen)
                if (meldung_) meldung_(m.Text, m.Ort);
            g.eintrag.Bericht = Memo_.size();
            g.eintrag.BerichtZeilen = g.bericht.size();
            Memo_.Anhaengen(g.bericht);
            aus_.Liste(g.liste);
            if (g.loesung) {
                ergebnis_.Ergebnisse.push_back(g.loesung->Ergebnis);
                for (const TOrtsMeldung& m : g.meldungen)
                    if (m.Ort.Feld > 0) g.eintrag.Meldungen.push_back(m);
                ergebnis_.Kugeln.push_back(std::move(g.eintrag));
            }
            if (g.fehler || static_cast<std::size_t>(index) + 1 == s.anzahl) {
                // The last sphere handed on: its points stay, and its solution is the last one.
                ergebnis_.Punkte = g.punkte;
                ergebnis_.Letzte = g.loesung;
            }
            if (g.fehler) {
                aus_.Markiert(markiert_);
                std::rethrow_exception(g.fehler);
            }
            const bool letzte = s.offen && static_cast<std::size_t>(index) + 1 == s.anzahl;
            const bool ok = !g.mittelpunkt.empty();
            // An evaluated sphere's lines get their "*", save the last one of the deciding sphere:
            // that stays in front, to be looked at again.
            std::string_view text = g.markiert;
            const std::size_t weiter = letzte && ok ? g.zeilen.size() - 1 : g.zeilen.size();
            if (weiter < g.zeilen.size())
                text.remove_suffix(ZeilenLaenge(g.zeilen.back().sterne + 1, g.zeilen.back().text));
            // The sphere's text goes on as it lies, behind the lines before it.
            if (!markiert_.empty()) aus_.Markiert(markiert_);
            markiert_.clear();
            aus_.Markiert(text);
            if (letzte) {
                fenster_.erase(fenster_.begin(), fenster_.begin() + static_cast<std::ptrdiff_t>(weiter));
                if (ok) ++fenster_.front().sterne;
            }
        }
        if (!markiert_.empty()) aus_.Markiert(markiert_);
    }

    TZeilenLeser leser_;
    TAusfuehrer& ausfuehrer_;
    std::deque<TZeile> fenster_;  // the lines read ahead, front first
    long long zeilen_ = 0;        // lines read so far
    std::string name1_, name2_;   // marked lines as they stand
    TStapel paar_[2];              // the batches, used in turn
    std::size_t naechster_ = 0;   // batches collected so far
    TMemoLines& Memo_;
    const TMeldungMitOrt& meldung_;
    bool iterativ_;
    const TKugelAusgaben& aus_;
    std::string markiert_;  // the marked lines of the batch being handed on
    std::size_t groesse_;  // spheres evaluated together before they are handed on
    const TFortschritt& fortschritt_;
    bool verteilt_;  // the spheres on all cores
    TKugelsuche ergebnis_;
};

}  // namespace

std::string KugelmittelpunktZeile(const TPunkt& centre, std::string_view firstLine) {
    // Straight above or below the station there is no zenith distance to be had.
    return KugelmittelpunktZeile(centre.Name, Polar({centre.X, centre.Y, centre.Z}), firstLine);
}

std::string KugelmittelpunktZeile(std::string_view name, const TPolar& b, std::string_view firstLine) {
    std::string line;
    KugelmittelpunktZeile(line, name, b, firstLine);
    return line;
}

void KugelmittelpunktZeile(std::string& line, std::string_view name, const TPolar& b, std::string_view firstLine) {
    // Five fields (Nr, Ri, S, Zd, R) off the front; what remains are the codes.
    std::string_view rest = firstLine.substr(0, LineCapacity);
    for (int field = 0; field < 5; ++field) GetToken(rest, LineCapacity);

    line.clear();
    AppendFormat(line, "%s  %10.4f  %10.3f  %10.4f     0.00 %s", {name, b.Ri, b.S, b.Zd, rest});
    if (line.size() > LineCapacity) line.resize(LineCapacity);
}

TKugelsuche SucheKugeln(std::string_view text, TMemoLines& Memo, const TMeldungMitOrt& meldung, bool iterativ,
                        const TKugelAusgaben& aus, std::size_t kugelnJeStapel, const TFortschritt& fortschritt,
                        TAusfuehrer* ausfuehrer, long long zeilenVorher) {
    return TScan(text, Memo, meldung, iterativ, aus, kugelnJeStapel, fortschritt,
                 ausfuehrer != nullptr ? *ausfuehrer : TAusfuehrer::Gemeinsam(), zeilenVorher)
        .Lauf();
}

}  // namespace zentrix
