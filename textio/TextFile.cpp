// SPDX-License-Identifier: GPL-3.0-or-later
// Text files: token reading for the coordinate and observation files, and whole-file writing.
#include "textio/TextFile.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <system_error>
#include <utility>

#include "core/Fehler.hpp"
#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace fs = std::filesystem;

namespace {

// A mapped file's pages are given back every this many bytes read (a coordinate file of a million
// points holds 40 MB), all but the last FreigabeRest bytes before the reading.
constexpr std::size_t FreigabeSchritt = 1u << 20;
constexpr std::size_t FreigabeRest = 64u << 10;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The first bytes of a file that tell whether it is text to be read: a byte-order mark of UTF-16
// or UTF-32, or a NUL byte within them, is not.
constexpr std::size_t Textprobe = 64 * 1024;

bool IstText(std::string_view anfang) {
    for (const std::string_view marke : {std::string_view("\xFF\xFE", 2), std::string_view("\xFE\xFF", 2),
                                         std::string_view("\x00\x00\xFE\xFF", 4)})
        if (anfang.substr(0, marke.size()) == marke) return false;
    return anfang.substr(0, Textprobe).find('\0') == std::string_view::npos;
}

// Reads into text at its end until the file ends or bis bytes are there, taking room for groesse
// bytes at once. False on a read error (errno telling why).
bool Lies(plattform::TDatei& datei, std::string& text, std::size_t bis, std::size_t groesse) {
    std::size_t da = text.size();
    text.resize(std::max(da, std::min(bis, groesse)));
    for (;;) {
        if (da == text.size()) {
            if (da >= bis) return true;
            text.resize(da + (1u << 16));  // a file that grows while it is read
        }
        const long long n = datei.Lies(text.data() + da, text.size() - da);
        if (n <= 0) {
            text.resize(da);
            return n == 0;
        }
        da += static_cast<std::size_t>(n);
    }
}

// Reads a whole file into data as text. Only a regular file is read: it is opened without
// blocking, so that a pipe without a writer cannot stop the program, and a pipe, a device or a
// socket is refused at once. A file beginning with a UTF-16 or UTF-32 byte-order mark, or with a
// NUL byte in its first 64 KB, is no text and refused before it is read whole; a UTF-8 byte-order
// mark is dropped. Returns the I/O code; err gets the errno value of a system failure (0 for the
// refusals, which have codes of their own).
int ReadWholeFile(const std::string& path, std::string& data, int& err) {
    plattform::TDatei datei;
    plattform::TInfo st;
    if (const int code = ablage::OeffneZumLesen(path, datei, st, err); code != 0) return code;
    // Read in one piece of the file's size (then on while a growing file goes on), the first 64 KB
    // first, so that the text takes no more memory than the file.
    std::string result;
    const auto groesse = static_cast<std::size_t>(st.Groesse);
    result.reserve(groesse);
    if (!Lies(datei, result, Textprobe, groesse)) {
        err = errno != 0 ? errno : EIO;
        return IOCodeFromErrno(err);
    }
    if (!IstText(result)) return ea::KeineTextdatei;
    if (result.size() == Textprobe && !Lies(datei, result, std::string::npos, groesse)) {
        err = errno != 0 ? errno : EIO;
        return IOCodeFromErrno(err);
    }
    if (result.compare(0, 3, "\xEF\xBB\xBF") == 0) result.erase(0, 3);
    data = std::move(result);
    return 0;
}

// Writes a file whole beside path and puts it in place (ablage::SchreibeGanz): the target is
// either the old file or the complete new one. Returns the I/O code; err gets the errno value,
// reason (where given) the German reason.
int WriteWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& writer, int& err,
                   std::string* reason = nullptr) {
    int code = ablage::PruefeSchreibbar(path, err);
    bool amPlatz = false;
    if (code == 0) {
        err = ablage::SchreibeGanz(path, writer, amPlatz);
        code = IOCodeFromErrno(err);
    }
    if (code != 0 && reason != nullptr) {
        *reason = err != 0 ? SystemReasonText(err) : IOErrorText(code);
        // Only the folder could not be made durable: say what that means for the file.
        if (amPlatz)
            *reason = "Der Ordner lässt sich nach dem Umbenennen nicht sichern (" + *reason +
                      "): die neue Datei steht an ihrem Platz, übersteht aber einen Stromausfall vielleicht nicht";
    }
    return code;
}

// Writes lines each ended by CR LF (the lines must outlive the writer).
std::function<bool(std::FILE*)> LineWriter(const std::vector<std::string>& lines) {
    return [&lines](std::FILE* f) {
        for (const std::string& line : lines)
            if (std::fwrite(line.data(), 1, line.size(), f) != line.size() || std::fputs("\r\n", f) == EOF) return false;
        return true;
    };
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTextReader

std::string VollerPfad(const std::string& name) {
    std::error_code ec;
    const fs::path p = name.empty() ? fs::current_path(ec) : fs::absolute(plattform::Pfad(name), ec);
    if (ec) return name;
    return plattform::Text(p.lexically_normal());
}

void TTextReader::Open(const std::string& path) {
    OpenOhneEnde(path);
    if (open_) Ende(Finde(text_, kCtrlZ, abbild_.get()));
}

void TTextReader::OpenOhneEnde(const std::string& path) {
    Close();
    ortGrund_.clear();
    pfad_ = VollerPfad(path);
    // The file is read where it lies, not copied: a million points' file costs its memory only
    // as far as the reading has not yet passed.
    auto abbild = std::make_shared<TDateiAbbild>();
    int err = 0;
    const int code = abbild->Oeffne(path, err);
    if (code != 0) {
        SetError(code);
        // "Ungültiger Dateiname" for a folder that does not exist: the place says so.
        if (code == ea::UngueltigerName && err == ENOENT && !path.empty())
            ortGrund_ = "Der Ordner " + VollerPfad(ablage::Ordner(path)) + " existiert nicht";
        return;
    }
    OpenView(abbild->Text(), pfad_, 0, abbild, true);
}

void TTextReader::OpenView(std::string_view text, std::string pfad, long long zeilenVorher,
                           std::shared_ptr<const TDateiAbbild> abbild, bool endeGesucht) {
    Close();
    abbild_ = std::move(abbild);
    frei_ = 0;
    pfad_ = std::move(pfad);
    zeilenVorher_ = zeilenVorher;
    text_ = text;
    pos_ = 0;
    end_ = endeGesucht ? std::string_view::npos : Finde(text_, kCtrlZ, abbild_.get());
    if (end_ == std::string_view::npos) end_ = text_.size();
    open_ = true;
}

void TTextReader::OpenText(std::string text) {
    data_ = std::move(text);
    text_ = data_;
    pos_ = 0;
    // Ctrl-Z marks the end of the data: nothing behind it is ever read.
    end_ = data_.find(kCtrlZ);
    if (end_ == std::string::npos) end_ = data_.size();
    open_ = true;
}

void TTextReader::Close() {
    // What another program cut off the mapped file while it was read were zeros: no result.
    if (abbild_ && abbild_->Verkuerzt()) SetError(ea::DateiVerkuerzt);
    abbild_.reset();
    std::string().swap(data_);  // the file's text is no longer needed
    text_ = {};
    pos_ = 0;
    end_ = 0;
    open_ = false;
}

void TTextReader::SetError(int code) {
    if (pending_ == 0) pending_ = code;
}

void TTextReader::SetError(int code, std::size_t pos, std::string_view text) {
    if (pending_ != 0) return;
    pending_ = code;
    fehlerPos_ = pos;
    fehlerFeld_ = feld_;
    fehlerText_.assign(text);
}

bool TTextReader::AtEnd() const { return pos_ >= end_; }

bool TTextReader::AtEndOfText() {
    if (!open_) {
        SetError(ea::NichtGeoeffnet);
        return true;
    }
    // Blanks and empty lines behind the last record are no further record.
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    return AtEnd();
}

std::string_view TTextReader::NextToken(std::size_t maxLength) {
    if (!open_) {
        SetError(ea::NichtGeoeffnet);
        return {};
    }
    ++feld_;
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    if (AtEnd()) {
        // The record is cut short by the end of the file.
        SetError(ea::HinterDateiende, pos_, {});
        return {};
    }
    const std::size_t start = pos_;
    while (!AtEnd() && !IsBlank(text_[pos_])) ++pos_;
    // A field longer than its kind allows is no number: cut, its rest would be read as the next
    // field and shift every field after it (a coordinate with a hundred trailing zeros would move
    // the radius into the next record's number).
    if (pos_ - start > maxLength) {
        SetError(ea::UngueltigeZahl, start, text_.substr(start, pos_ - start));
        return {};
    }
    return text_.substr(start, pos_ - start);
}

std::int32_t TTextReader::ReadIntegerToken() {
    const std::string_view token = NextToken(MaxGanzzahlFeld);
    if (token.empty()) return 0;
    std::int64_t value = 0;
    if (!ScanInteger(token, false, value)) {
        SetError(ea::UngueltigeZahl, static_cast<std::size_t>(token.data() - text_.data()), token);
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::uint32_t TTextReader::ReadUnsignedToken() {
    const std::string_view token = NextToken(MaxGanzzahlFeld);
    if (token.empty()) return 0;
    std::int64_t value = 0;
    if (!ScanInteger(token, true, value)) {
        SetError(ea::UngueltigeZahl, static_cast<std::size_t>(token.data() - text_.data()), token);
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
}

double TTextReader::ReadRealToken() {
    const std::string_view token = NextToken(MaxRealFeld);
    if (token.empty()) return 0.0;
    const TRealScan scan = ScanReal(token, TokenRegel());
    const auto start = static_cast<std::size_t>(token.data() - text_.data());
    switch (scan.Status) {
        case TRealStatus::Zahl: return scan.Wert;
        case TRealStatus::UeberDouble: SetError(ea::GleitkommaUeberlauf, start, token); break;
        case TRealStatus::KeineZahl:
        case TRealStatus::UeberExtended: SetError(ea::UngueltigeZahl, start, token); break;
    }
    return 0.0;
}

void TTextReader::SkipLine() {
    if (!open_) {
        SetError(ea::NichtGeoeffnet);
        return;
    }
    while (!AtEnd()) {
        if (text_[pos_++] == '\n') break;
    }
    if (abbild_ && pos_ - frei_ >= FreigabeSchritt) GibFrei();
}

void TTextReader::GibFrei() {
    // The last stretch stays: an error of the record just read quotes its line.
    const std::size_t bis = pos_ > FreigabeRest ? pos_ - FreigabeRest : 0;
    if (bis > frei_) abbild_->Freigeben(text_.data() + frei_, text_.data() + bis);
    frei_ = bis;
}

int TTextReader::IOResult() {
    const int code = pending_;
    pending_ = 0;
    ortGrund_.clear();
    feld_ = 0;
    fehlerPos_ = std::string::npos;
    return code;
}

void TTextReader::CheckIO() {
    const std::size_t pos = fehlerPos_;
    const int feld = fehlerFeld_;
    std::string grund = std::move(ortGrund_);
    const int code = IOResult();
    if (code == 0) return;
    TOrt ort;
    ort.Datei = pfad_;
    if (!grund.empty()) {
        ort.Datei.clear();
        ort.Grund = std::move(grund);
    }
    if (pos != std::string::npos) {
        const auto vorher = std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(pos), '\n');
        ort.Zeile = zeilenVorher_ + 1 + vorher;
        ort.Feld = feld;
        ort.Text = Zitat(fehlerText_);
    }
    if (code == ea::GleitkommaUeberlauf) {
        EMathError e("Gleitkommaüberlauf");
        e.Ort = std::move(ort);
        throw e;
    }
    EInOutError e(code);
    e.Ort = std::move(ort);
    throw e;
}

// ---------------------------------------------------------------------------------------------
// TTextWriter

void TTextWriter::Create(const std::string& path) {
    path_ = path;
    int err = 0;
    const int code = ablage::PruefeSchreibbar(path, err);
    data_.clear();
    if (code != 0) {
        if (pending_ == 0) pending_ = code;
        open_ = false;
        return;
    }
    // A trial file shows that the folder really takes new files (ownership, read-only mounts),
    // so that the failure is reported here and not only when the lines are written.
    if (const int err = ablage::PruefeNeueDatei(path); err != 0) {
        if (pending_ == 0) pending_ = IOCodeFromErrno(err);
        open_ = false;
        return;
    }
    open_ = true;
}

void TTextWriter::WriteLine(const std::string& line) {
    if (!open_) {
        if (pending_ == 0) pending_ = ea::NichtGeoeffnet;
        return;
    }
    data_ += line;
    data_ += "\r\n";
}

void TTextWriter::Close() {
    if (!open_) return;
    open_ = false;
    int err = 0;
    const int code = WriteWholeFile(
        path_, [this](std::FILE* f) { return std::fwrite(data_.data(), 1, data_.size(), f) == data_.size(); }, err);
    data_.clear();
    if (code != 0 && pending_ == 0) pending_ = code;
}

int TTextWriter::IOResult() {
    const int code = pending_;
    pending_ = 0;
    return code;
}

void TTextWriter::CheckIO() {
    const int code = IOResult();
    if (code == 0) return;
    EInOutError e(code);
    e.Ort.Datei = VollerPfad(path_);
    throw e;
}

// ---------------------------------------------------------------------------------------------
// Whole files as lines

int LoadText(const std::string& path, std::string& text, std::string* reason) {
    int err = 0;
    const int code = ReadWholeFile(path, text, err);
    if (code != 0 && reason != nullptr) *reason = err != 0 ? SystemReasonText(err) : IOErrorText(code);
    return code;
}

int LoadLines(const std::string& path, std::vector<std::string>& lines) {
    return LoadLines(path, lines, nullptr);
}

int LoadLines(const std::string& path, std::vector<std::string>& lines, std::string* reason) {
    std::string data;
    int err = 0;
    const int code = ReadWholeFile(path, data, err);
    if (code != 0) {
        if (reason != nullptr) *reason = err != 0 ? SystemReasonText(err) : IOErrorText(code);
        return code;
    }
    lines = SplitLines(data);
    return 0;
}

std::vector<std::string> SplitLines(std::string_view data) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') continue;
        result.emplace_back(data.substr(start, i - start));
        if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // A last line without line end counts.
    if (start < data.size()) result.emplace_back(data.substr(start));
    return result;
}

int SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* reason) {
    int err = 0;
    return WriteWholeFile(path, LineWriter(lines), err, reason);
}

int SaveText(const std::string& path, std::string_view text, std::string* reason) {
    int err = 0;
    return WriteWholeFile(
        path, [text](std::FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); }, err, reason);
}

}  // namespace zentrix
