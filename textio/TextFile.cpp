// Text files: token reading for the coordinate and observation files, and whole-file writing.
#include "textio/TextFile.hpp"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
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
#include "core/SystemFehler.hpp"
#include "textio/Ablage.hpp"
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace fs = std::filesystem;

namespace {

constexpr char kCtrlZ = 26;
constexpr int kNotOpen = 103;  // a read or write on a file that is not open

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

// Reads a whole file into data. Returns the I/O code; err gets the errno value of a failure.
int ReadWholeFile(const std::string& path, std::string& data, int& err) {
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return 3;
    }
    const fs::path p(path);
    if (IsFolder(p)) {
        err = EISDIR;
        return 5;
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        err = errno;
        if (err == ENOENT && !IsFolder(ablage::Ordner(p))) return 3;
        return IOCodeFromErrno(err);
    }
    // Read in one piece of the file's size (then in pieces while a growing file goes on), so that
    // the text takes no more memory than the file.
    std::string result;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0) result.resize(static_cast<std::size_t>(size));
        std::rewind(f);
    }
    std::size_t filled = std::fread(result.data(), 1, result.size(), f);
    result.resize(filled);
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) result.append(buf, got);
    const bool failed = std::ferror(f) != 0;
    const int readErr = errno;
    std::fclose(f);
    if (failed) {
        err = readErr != 0 ? readErr : EIO;
        return IOCodeFromErrno(err);
    }
    data = std::move(result);
    return 0;
}

// A name for a temporary file beside target, ".NAME.STAMP.COUNT.tmp", new on every call.
fs::path TemporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter = 0;
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(stamp % 1000000007ULL);
    name += '.';
    name += std::to_string(++counter);
    name += ".tmp";
    return ablage::Ordner(target) / name;
}

// Opens a new temporary file beside target, exclusively. Returns nullptr with errno set on failure.
std::FILE* OpenTemporary(const fs::path& target, fs::path& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryName(target);
        errno = 0;
        std::FILE* f = std::fopen(temp.c_str(), "wbx");
        if (f != nullptr || errno != EEXIST) return f;
    }
    errno = EEXIST;
    return nullptr;
}

// Writes a new temporary file beside target through writer and makes it durable. Returns the
// errno value of a failure (0: none), after which no temporary file is left.
int WriteTemporary(const fs::path& target, const std::function<bool(std::FILE*)>& writer, fs::path& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryName(target);
        const int err = ablage::SchreibeNeu(temp, writer);
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

// Writes a file whole to a temporary file beside path and renames it over path: the target is
// either the old file or the complete new one. Returns the I/O code; err gets the errno value.
int WriteWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& writer, int& err) {
    const int code = ablage::PruefeSchreibbar(path, err);
    if (code != 0) return code;
    const fs::path target(path);
    fs::path temp;
    err = WriteTemporary(target, writer, temp);
    if (err != 0) return IOCodeFromErrno(err);
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (fs::exists(old)) fs::permissions(temp, old.permissions(), ec);  // a replaced file keeps its permissions
    fs::rename(temp, target, ec);
    if (ec) {
        err = ec.value();
        fs::remove(temp, ec);
        return IOCodeFromErrno(err);
    }
    return 0;
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

void TTextReader::Open(const std::string& path) {
    Close();
    std::string data;
    int err = 0;
    const int code = ReadWholeFile(path, data, err);
    if (code != 0) {
        SetError(code);
        return;
    }
    OpenText(std::move(data));
}

void TTextReader::OpenView(std::string_view text) {
    Close();
    text_ = text;
    pos_ = 0;
    end_ = text_.find(kCtrlZ);
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
    std::string().swap(data_);  // the file's text is no longer needed
    text_ = {};
    pos_ = 0;
    end_ = 0;
    open_ = false;
}

void TTextReader::SetError(int code) {
    if (pending_ == 0) pending_ = code;
}

bool TTextReader::AtEnd() const { return pos_ >= end_; }

std::size_t TTextReader::RestlicheZeilen() const {
    std::size_t zeilen = 0;
    const char* p = text_.data() + std::min(pos_, end_);
    const char* const ende = text_.data() + end_;
    while (p < ende && (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(ende - p))))) {
        ++zeilen;
        ++p;
    }
    return zeilen;
}

bool TTextReader::AtEndOfText() {
    if (!open_) {
        SetError(kNotOpen);
        return true;
    }
    // Blanks and empty lines behind the last record are no further record.
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    return AtEnd();
}

std::string_view TTextReader::NextToken(std::size_t maxLength) {
    if (!open_) {
        SetError(kNotOpen);
        return {};
    }
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    if (AtEnd()) {
        // The record is cut short by the end of the file.
        SetError(100);
        return {};
    }
    const std::size_t start = pos_;
    while (!AtEnd() && !IsBlank(text_[pos_])) ++pos_;
    // A field longer than its kind allows is no number: cut, its rest would be read as the next
    // field and shift every field after it (a coordinate with a hundred trailing zeros would move
    // the radius into the next record's number).
    if (pos_ - start > maxLength) {
        SetError(106);
        return {};
    }
    return text_.substr(start, pos_ - start);
}

std::int32_t TTextReader::ReadIntegerToken() {
    const std::string_view token = NextToken(MaxGanzzahlFeld);
    if (token.empty()) return 0;
    std::int64_t value = 0;
    if (!ScanInteger(token, false, value)) {
        SetError(106);
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::uint32_t TTextReader::ReadUnsignedToken() {
    const std::string_view token = NextToken(MaxGanzzahlFeld);
    if (token.empty()) return 0;
    std::int64_t value = 0;
    if (!ScanInteger(token, true, value)) {
        SetError(106);
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
}

double TTextReader::ReadRealToken() {
    const std::string_view token = NextToken(MaxRealFeld);
    if (token.empty()) return 0.0;
    const TRealScan scan = ScanReal(token, TokenRegel());
    switch (scan.Status) {
        case TRealStatus::Zahl: return scan.Wert;
        case TRealStatus::UeberDouble: SetError(kIOFloatOverflow); break;
        case TRealStatus::KeineZahl:
        case TRealStatus::UeberExtended: SetError(106); break;
    }
    return 0.0;
}

void TTextReader::SkipLine() {
    if (!open_) {
        SetError(kNotOpen);
        return;
    }
    while (!AtEnd()) {
        if (text_[pos_++] == '\n') break;
    }
}

int TTextReader::IOResult() {
    const int code = pending_;
    pending_ = 0;
    return code;
}

void TTextReader::CheckIO() {
    const int code = IOResult();
    if (code == 0) return;
    if (code == kIOFloatOverflow) RaiseOverflow();
    throw EInOutError(code);
}

// ---------------------------------------------------------------------------------------------
// TTextWriter

void TTextWriter::Create(const std::string& path) {
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
    fs::path trial;
    std::FILE* f = OpenTemporary(fs::path(path), trial);
    if (f == nullptr) {
        if (pending_ == 0) pending_ = IOCodeFromErrno(errno != 0 ? errno : EIO);
        open_ = false;
        return;
    }
    std::fclose(f);
    std::error_code ec;
    fs::remove(trial, ec);
    path_ = path;
    open_ = true;
}

void TTextWriter::WriteLine(const std::string& line) {
    if (!open_) {
        if (pending_ == 0) pending_ = kNotOpen;
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
    if (code != 0) throw EInOutError(code);
}

// ---------------------------------------------------------------------------------------------
// Whole files as lines

int LoadText(const std::string& path, std::string& text, std::string* reason) {
    int err = 0;
    const int code = ReadWholeFile(path, text, err);
    if (code != 0 && reason != nullptr) *reason = SystemReasonText(err);
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
        if (reason != nullptr) *reason = SystemReasonText(err);
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
    const int code = WriteWholeFile(path, LineWriter(lines), err);
    if (code != 0 && reason != nullptr) *reason = SystemReasonText(err);
    return code;
}

}  // namespace zentrix
