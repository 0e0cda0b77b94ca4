// SPDX-License-Identifier: GPL-3.0-or-later
// The polar evaluation's two outputs when a run is cut short, the disk fills or two runs of the
// same file meet: every output that existed keeps its name, the next run completes a swap cut
// short, and nothing but the input and its two outputs remains.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <string>
#include <thread>

#include "Hilfen.hpp"
#include "Kindprozess.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"
#include "textio/NumText.hpp"
#include "window/UnitBogenschnitt3D.hpp"

namespace zentrix {
namespace {

namespace fs = std::filesystem;
using Ordnerinhalt = std::map<std::string, std::string>;  // file name → content

constexpr int kGestoppt = 77;  // the exit code of a run that the hook ended as a crash would

// What the hook does in this process: at the n-th call at punkt (for the swap: at its step n) the
// step fails with fehler, or with fehler 0 the process ends there.
struct TAuftrag {
    TAblagePunkt punkt;
    int n;
    int fehler;
};
TAuftrag gAuftrag{};
int gAufrufe = 0;

int Haken(TAblagePunkt punkt, int schritt) {
    if (punkt != gAuftrag.punkt) return 0;
    if ((punkt == TAblagePunkt::Tausch ? schritt : ++gAufrufe) != gAuftrag.n) return 0;
    if (gAuftrag.fehler == 0) _exit(kGestoppt);
    return gAuftrag.fehler;
}

Ordnerinhalt Inhalt(const fs::path& ordner) {
    TAusfuehrer::Gemeinsam().NebenherAbwarten();  // the old outputs of a swap are removed beside
    Ordnerinhalt inhalt;
    for (const auto& e : fs::directory_iterator(ordner)) inhalt[e.path().filename().string()] = test::ReadBytes(e.path());
    return inhalt;
}

// Runs "Polarauswertung" in the window model; gives the errors it showed (meldungen, where given,
// gets its messages, each ended by a line feed).
std::string Auswerten(const std::string& datei, std::string* meldungen = nullptr) {
    TRecordingDialoge dialoge;
    TForm1 form(dialoge, ".");
    form.Edit2.Text = datei;
    form.Dispatch(&TForm1::Polarauswertung);
    for (const std::string& m : dialoge.Messages)
        if (meldungen != nullptr) *meldungen += m + "\n";
    return dialoge.Errors.empty() ? "" : dialoge.Errors.front();
}

// A run in a process of its own (another program run), set up by its hook: "haken" (Haken with
// the order punkt, n, fehler), "zweimal" (the listing's exchange fails, and so does taking back the
// marked file's), "grenze" (a file size limit of 512 bytes; Linux only).
struct TLauf {
    const char* art;
    TAuftrag auftrag;
};

// The child's task: the run, its error stream and messages, and its error on the error stream;
// exit code 0 done, 1 an error, kGestoppt where the hook ended it.
int LaufImKind() {
    const std::string art = test::Umgebung("ZENTRIX_KIND_ART");
    gAuftrag = {static_cast<TAblagePunkt>(std::stoi(test::Umgebung("ZENTRIX_KIND_PUNKT"))),
                std::stoi(test::Umgebung("ZENTRIX_KIND_N")), std::stoi(test::Umgebung("ZENTRIX_KIND_FEHLER"))};
    if (art == "haken") AblageTestHaken = Haken;
    if (art == "zweimal")
        AblageTestHaken = [](TAblagePunkt punkt, int schritt) {
            return (punkt == TAblagePunkt::Tausch && schritt == 3) || punkt == TAblagePunkt::Zurueck ? EIO : 0;
        };
#ifndef _WIN32
    if (art == "grenze") {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit grenze{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &grenze);
    }
#endif
    std::string meldungen;
    const std::string fehlerText = Auswerten(test::Umgebung("ZENTRIX_KIND_EINGABE"), &meldungen);
    const std::string text = meldungen + fehlerText;
    std::fwrite(text.data(), 1, text.size(), stderr);
    return fehlerText.empty() ? 0 : 1;
}
const bool gLaufImKind = test::KindAufgabe("polarauswertung", LaufImKind);

// The folder as the next run finds it once it has completed what the stopped one left: seen at
// the first step of its own swap.
fs::path gOrdner;
Ordnerinhalt gVorDemTausch;
int Schnappschuss(TAblagePunkt punkt, int schritt) {
    if (punkt == TAblagePunkt::Tausch && schritt == 1) gVorDemTausch = Inhalt(gOrdner);
    return 0;
}

class AusgabentauschTest : public testing::Test {
protected:
    void SetUp() override {
        DecimalSeparator = '.';
        eingabe = test::ReadBytes(fs::path(ZENTRIX_TEST_DATA) / "beobachtungen" / "vier_kugeln.dat");
        // The outputs of an undisturbed run.
        test::TempFolder ruhig;
        const std::string datei = ruhig.Write("obs.dat", eingabe);
        EXPECT_TRUE(Auswerten(datei).empty());
        neu = Inhalt(ruhig.Path());
        neu.erase("obs.dat");
    }
    void TearDown() override { AblageTestHaken = nullptr; }

    // The run on the input in a process of its own (LaufImKind); gives its exit code (0 done, 1
    // an error, whose text is fehler; kGestoppt). fehler begins with what the run wrote to the
    // error stream and its messages.
    int ImKindprozess(const TLauf& lauf, std::string& fehler) const {
        test::TKind kind("polarauswertung", {{"ZENTRIX_KIND_ART", lauf.art},
                                             {"ZENTRIX_KIND_PUNKT", std::to_string(static_cast<int>(lauf.auftrag.punkt))},
                                             {"ZENTRIX_KIND_N", std::to_string(lauf.auftrag.n)},
                                             {"ZENTRIX_KIND_FEHLER", std::to_string(lauf.auftrag.fehler)},
                                             {"ZENTRIX_KIND_EINGABE", input.string()}});
        fehler.clear();
        return kind.Warte(&fehler);
    }
    // The input alone, with the old outputs where alte.
    void Beginne(bool alte) {
        TAusfuehrer::Gemeinsam().NebenherAbwarten();
        fs::remove_all(dir);
        fs::create_directories(dir);
        folder.Write("obs.dat", eingabe);
        if (alte) for (const auto& [name, inhalt] : alt) folder.Write(name, inhalt);
    }
    // The folder with the input and the given outputs.
    Ordnerinhalt Mit(const Ordnerinhalt& ausgaben) const {
        Ordnerinhalt o = ausgaben;
        o["obs.dat"] = eingabe;
        return o;
    }

    test::TempFolder folder;
    fs::path dir = folder.Path(), input = dir / "obs.dat";
    std::string eingabe;
    Ordnerinhalt alt = {{"obs.TXT", "alt TXT"}, {"obs.LST", "alt LST"}}, neu;
};

}  // namespace

TEST_F(AusgabentauschTest, ARunCutShortAnywhereLeavesEveryOutputAndTheNextRunCompletesTheSwap) {
    // Where the first run stops: while it writes, and before each step of the swap (1: the marker,
    // 2 and 3: the two exchanges, 4: removing the marker, 5: removing the old outputs).
    std::vector<std::pair<TAblagePunkt, int>> halte = {{TAblagePunkt::Schreiben, 2}, {TAblagePunkt::Sichern, 1}};
    for (int k = 1; k <= 5; ++k) halte.emplace_back(TAblagePunkt::Tausch, k);
    for (const bool alte : {true, false}) {
        for (const auto& [punkt, n] : halte) {
            SCOPED_TRACE(testing::Message() << (alte ? "old outputs, " : "no outputs, ") << "stop " << static_cast<int>(punkt)
                                            << "/" << n);
            Beginne(alte);
            std::string fehler;
            ASSERT_EQ(ImKindprozess({"haken", {punkt, n, 0}}, fehler), kGestoppt) << fehler;
            const Ordnerinhalt abgebrochen = Inhalt(dir);
            EXPECT_EQ(abgebrochen.at("obs.dat"), eingabe);
            EXPECT_TRUE(!alte || (abgebrochen.count("obs.TXT") == 1 && abgebrochen.count("obs.LST") == 1));

            // The next run first completes the swap (once the marker stands, the new pair; before
            // it, the old one) and removes what the stopped run left: only its own two new files
            // lie beside the pair when its own swap begins.
            gOrdner = dir;
            AblageTestHaken = Schnappschuss;
            EXPECT_EQ(Auswerten(input.string()), "");
            AblageTestHaken = nullptr;
            const bool markiert = punkt == TAblagePunkt::Tausch && n >= 2;
            Ordnerinhalt erwartet = Mit(markiert ? neu : alte ? alt : Ordnerinhalt{});
            erwartet[".obs.dat.zentrix-0.TXT"] = neu["obs.TXT"];
            erwartet[".obs.dat.zentrix-1.LST"] = neu["obs.LST"];
            EXPECT_EQ(gVorDemTausch, erwartet);
            EXPECT_EQ(Inhalt(dir), Mit(neu));
        }
    }
    // Past the last step the run is done.
    Beginne(true);
    std::string fehler;
    EXPECT_EQ(ImKindprozess({"haken", {TAblagePunkt::Tausch, 6, 0}}, fehler), 0);
    EXPECT_EQ(Inhalt(dir), Mit(neu));
}

TEST_F(AusgabentauschTest, AFullDiskIsSaidAsSuchAndLeavesTheOldOutputsAndNothingElse) {
    struct Fall {
        const char* wo;
        TAblagePunkt punkt;
        int n;       // the n-th call at punkt, or the swap's step; 0: a file size limit of 512 bytes
        int fehler;  // errno
        const char* datei;
    };
    const Fall faelle[] = {
        {"marked file written", TAblagePunkt::Schreiben, 1, ENOSPC, "obs.TXT"},
        {"listing written", TAblagePunkt::Schreiben, 2, ENOSPC, "obs.LST"},
        {"listing made durable", TAblagePunkt::Sichern, 2, test::KontingentVoll, "obs.LST"},
        {"marker written", TAblagePunkt::Schreiben, 3, ENOSPC, "obs.TXT"},
        {"listing put in place after the marked file", TAblagePunkt::Tausch, 3, ENOSPC, "obs.LST"},
        // The system's own failure of a write: its number reaches the message.
        {"file size limit", TAblagePunkt::Schreiben, 0, EFBIG, "obs.TXT"},
        {"folder made durable before the swap", TAblagePunkt::Ordner, 1, EIO, "obs.TXT"},
        {"old marked file's permissions not taken over", TAblagePunkt::Rechte, 1, EPERM, "obs.TXT"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.wo);
#ifdef _WIN32
        // Windows knows no file size limit of a process, and a file's permissions are not taken over.
        if (f.n == 0 || f.punkt == TAblagePunkt::Rechte) continue;
#endif
        Beginne(true);
        for (const char* name : {"obs.TXT", "obs.LST"})
            fs::permissions(dir / name, fs::perms::owner_read | fs::perms::owner_write);
        std::string fehler;
        EXPECT_EQ(ImKindprozess({f.n > 0 ? "haken" : "grenze", {f.punkt, f.n, f.fehler}}, fehler), 1);
        EXPECT_EQ(fehler, "Datei \"" + (dir / f.datei).string() + "\" kann nicht erstellt werden. " +
                              SystemReasonText(f.fehler) + ".");
        EXPECT_EQ(Inhalt(dir), Mit(alt));
    }
    EXPECT_EQ(SystemReasonText(ENOSPC), "Zu wenig Speicherplatz");
}

TEST_F(AusgabentauschTest, AFolderNotMadeDurableOrAFileSystemWithoutLocksIsSaidAndAFailedLockStopsTheRun) {
    struct Fall {
        TAblagePunkt punkt;
        int n, fehler, rc;
        std::string text;
        bool neue;  // the new outputs in place (else the old ones)
    };
    const Fall faelle[] = {
        {TAblagePunkt::Ordner, 2, EIO, 0,
         "Der Ordner " + dir.string() + " lässt sich nach dem Tausch nicht sichern (Ein- und Ausgabefehler des "
         "Datenträgers): die Ausgaben stehen an ihrem Platz, überstehen aber einen Stromausfall vielleicht nicht\n", true},
        {TAblagePunkt::Sperre, 1, ENOLCK, 0,
         "Hinweis: Das Dateisystem kennt keine Dateisperren; zwei Läufe auf dieselben Dateien zur selben Zeit werden "
         "nicht auseinandergehalten.\n", true},
        {TAblagePunkt::Sperre, 1, EIO, 1,
         "Datei " + input.string() + " kann nicht gesperrt werden. Ein- und Ausgabefehler des Datenträgers.", false},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        Beginne(true);
        std::string fehler;
        EXPECT_EQ(ImKindprozess({"haken", {f.punkt, f.n, f.fehler}}, fehler), f.rc);
        EXPECT_EQ(fehler, f.text);
        EXPECT_EQ(Inhalt(dir), Mit(f.neue ? neu : alt));
    }
}

TEST_F(AusgabentauschTest, AnExchangeThatCannotBeUndoneStaysForTheNextRunWhichCompletesItBeforeAnythingElse) {
    // The listing's exchange fails, and so does taking back the marked file's.
    Beginne(true);
    std::string fehler;
    EXPECT_EQ(ImKindprozess({"zweimal", {}}, fehler), 1);
    const std::string grund = SystemReasonText(EIO);
    EXPECT_EQ(fehler, "Datei \"" + (dir / "obs.LST").string() + "\" kann nicht erstellt werden. " + grund + ". Datei \"" +
                          (dir / "obs.TXT").string() + "\" ist schon neu und lässt sich nicht zurücktauschen (" + grund +
                          "); die nächste Auswertung von " + input.string() + " vollendet den Tausch.");
    Ordnerinhalt halb = Inhalt(dir);
    EXPECT_EQ(halb.count(".obs.dat.zentrix-tausch"), 1u);
    halb.erase(".obs.dat.zentrix-tausch");
    EXPECT_EQ(halb, Mit({{"obs.TXT", neu["obs.TXT"]}, {"obs.LST", alt["obs.LST"]}, {".obs.dat.zentrix-0.TXT", alt["obs.TXT"]},
                         {".obs.dat.zentrix-1.LST", neu["obs.LST"]}}));

    // The next run completes the swap even though it then refuses its input (no text any more).
    const std::string binaer("K1 1 2 3\0", 9);
    std::ofstream(input, std::ios::binary | std::ios::in) << binaer;
    EXPECT_NE(Auswerten(input.string()).find("Keine Textdatei"), std::string::npos);
    Ordnerinhalt danach = Mit(neu);
    danach["obs.dat"] = test::ReadBytes(input);
    EXPECT_EQ(Inhalt(dir), danach);
}

TEST_F(AusgabentauschTest, AnInputNameNearTheLimitIsEvaluatedAndItsSwapCompleted) {
    // 250 bytes: its outputs' names are legal, ".<name>.zentrix-0.TXT" would not be.
    const std::string name = std::string(246, 'M') + ".dat", basis = name.substr(0, name.size() - 3);
    fs::remove_all(dir);
    fs::create_directories(dir);
    input = folder.Write(name, eingabe);
    folder.Write(basis + "TXT", alt["obs.TXT"]);
    folder.Write(basis + "LST", alt["obs.LST"]);
    std::string fehler;
    ASSERT_EQ(ImKindprozess({"haken", {TAblagePunkt::Tausch, 3, 0}}, fehler), kGestoppt) << fehler;
    std::size_t versteckt = 0;
    for (const auto& [datei, inhalt] : Inhalt(dir))
        if (datei.rfind(".zentrix-", 0) == 0) ++versteckt;
    EXPECT_EQ(versteckt, 3u);  // the marker, the old marked file and the new listing, under short names
    EXPECT_EQ(Auswerten(input.string()), "");
    EXPECT_EQ(Inhalt(dir), (Ordnerinhalt{{name, eingabe}, {basis + "TXT", neu["obs.TXT"]}, {basis + "LST", neu["obs.LST"]}}));
}

TEST_F(AusgabentauschTest, ASecondRunOfTheSameFileWaitsForTheFirstAndSaysSo) {
    // The first run holds on at the first exchange until the second has found the file taken.
    static std::shared_future<void> zweiterWartet;
    static std::atomic<bool> erster;
    std::promise<void> gewartet;
    zweiterWartet = gewartet.get_future().share();
    erster = true;
    AblageTestHaken = [](TAblagePunkt punkt, int schritt) {
        if (punkt == TAblagePunkt::Tausch && schritt == 2 && erster.exchange(false))
            zweiterWartet.wait_for(std::chrono::seconds(10));
        return 0;
    };
    Beginne(true);
    struct Lauf {
        TRecordingDialoge dialoge;
        TForm1 form{dialoge, "."};
        std::vector<std::string> schritte;
    } laeufe[2];
    std::atomic<int> warten{0};
    std::vector<std::thread> threads;
    for (Lauf& l : laeufe) {
        l.form.Edit2.Text = input.string();
        l.form.Fortschritt = [&l, &warten, &gewartet](const std::string& schritt, int) {
            l.schritte.push_back(schritt);
            if (schritt == "Datei wird gerade ausgewertet – warte …" && warten++ == 0) gewartet.set_value();
        };
        threads.emplace_back([&l] { l.form.Dispatch(&TForm1::Polarauswertung); });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(warten, 1);
    for (const Lauf& l : laeufe) EXPECT_TRUE(l.dialoge.Errors.empty()) << l.dialoge.Errors.front();
    EXPECT_EQ(Inhalt(dir), Mit(neu));
}

}  // namespace zentrix
