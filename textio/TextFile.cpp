// Text files: token reading for the coordinate and observation files, and whole-file writing.
#include "textio/TextFile.hpp"

#include <fcntl.h>
#include <stdio.h>

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
#include "textio/ZahlScanner.hpp"

namespace zentrix {

namespace fs = std::filesystem;

namespace {

constexpr char kCtrlZ = 26;
constexpr int kNotOpen = 103;  // a read or write on a file that is not open

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The folder a file lies in ("." for a bare file name).
fs::path FolderOf(const fs::path& p) {
    fs::path folder = p.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

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
        if (err == ENOENT && !IsFolder(FolderOf(p))) return 3;
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

// Tests that path can be written as a whole new file. Returns the I/O code; err gets the errno
// value that describes a failure.
int CheckWritable(const std::string& path, int& err) {
    err = 0;
    if (path.empty()) {
        err = ENOENT;
        return 3;
    }
    const fs::path p(path);
    const fs::path folder = FolderOf(p);
    std::error_code ec;
    const fs::file_status folderStatus = fs::status(folder, ec);
    if (!fs::exists(folderStatus)) {
        err = ENOENT;
        return 3;
    }
    if (!fs::is_directory(folderStatus)) {
        err = ENOTDIR;
        return 3;
    }
    const fs::file_status target = fs::status(p, ec);
    if (fs::is_directory(target)) {
        err = EISDIR;
        return 5;
    }
    // Write protection by the mode bits: the superuser could write anyway, but a protected
    // coordinate file must stay as it is.
    if (fs::exists(target) && (target.permissions() & kWriteBits) == fs::perms::none) {
        err = EACCES;
        return 5;
    }
    if ((folderStatus.permissions() & kWriteBits) == fs::perms::none) {
        err = EACCES;
        return 5;
    }
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
    return FolderOf(target) / name;
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

// Moves target aside to a new temporary name beside it. The name is taken by the rename itself
// where the file system can refuse to replace: renaming onto a file reserved beforehand would make
// ext4 write out the old file's pending data first (its guard for files replaced by rename), which
// for a large output just written costs more than the rest of the step.
void MoveAside(const fs::path& target, fs::path& aside, std::error_code& ec) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        aside = TemporaryName(target);
        if (::renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            ec.clear();
            return;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) {
            ec.assign(errno, std::generic_category());
            return;
        }
        // No such rename here: reserve the name, then rename onto it.
        std::error_code ignored;
        if (std::FILE* f = OpenTemporary(target, aside)) std::fclose(f);
        fs::rename(target, aside, ec);
        if (ec) fs::remove(aside, ignored);
        return;
    }
    ec.assign(EEXIST, std::generic_category());
}

// Writes a new temporary file beside target through writer. Returns the I/O code; err gets the
// errno value.
int WriteTemporary(const fs::path& target, const std::function<bool(std::FILE*)>& writer, fs::path& temp, int& err) {
    std::FILE* f = OpenTemporary(target, temp);
    if (f == nullptr) {
        err = errno != 0 ? errno : EIO;
        return IOCodeFromErrno(err);
    }
    errno = 0;
    bool ok = writer(f);
    ok = std::fflush(f) == 0 && ok;
    int writeErr = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        writeErr = errno;
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(temp, ec);
        err = writeErr != 0 ? writeErr : EIO;
        return IOCodeFromErrno(err);
    }
    return 0;
}

// One target of a group of files that are put in place together.
struct TZiel {
    fs::path target;
    fs::path temp;    // the complete new content
    fs::path backup;  // the old file while the group is being put in place
    bool hadOld = false;
    bool placed = false;
};

// Undoes the targets put in place so far, in reverse order, and removes every temporary file.
void RollBack(std::vector<TZiel>& ziele) {
    std::error_code ec;
    for (auto z = ziele.rbegin(); z != ziele.rend(); ++z) {
        if (z->placed && !z->hadOld) fs::remove(z->target, ec);
        if (!z->backup.empty()) fs::rename(z->backup, z->target, ec);
        if (!z->temp.empty()) fs::remove(z->temp, ec);
    }
}

// Puts every complete temporary file in place. A single file replaces its target in one step;
// in a group an old target is first moved aside, so that a failure further on can bring it back.
// Returns the I/O code; failed gets the failing index.
int PutInPlace(std::vector<TZiel>& ziele, std::size_t& failed, int& err) {
    for (std::size_t i = 0; i < ziele.size(); ++i) {
        TZiel& z = ziele[i];
        std::error_code ec;
        const fs::file_status old = fs::status(z.target, ec);
        ec.clear();
        z.hadOld = fs::exists(old);
        std::error_code ignored;
        if (z.hadOld) fs::permissions(z.temp, old.permissions(), ignored);  // a replaced file keeps its permissions
        if (z.hadOld && ziele.size() > 1) {
            fs::path aside;
            MoveAside(z.target, aside, ec);
            if (!ec) z.backup = aside;
        }
        if (!ec) fs::rename(z.temp, z.target, ec);
        if (ec) {
            failed = i;
            err = ec.value();
            RollBack(ziele);
            return IOCodeFromErrno(err);
        }
        z.placed = true;
        z.temp.clear();
    }
    std::error_code ec;
    for (const TZiel& z : ziele)
        if (!z.backup.empty()) fs::remove(z.backup, ec);
    return 0;
}

// Writes several files whole and puts them in place together (see SchreibeZusammen).
int WriteTogether(const std::vector<TAusgabe>& files, std::size_t& failed, int& err) {
    std::vector<TZiel> ziele;
    for (failed = 0; failed < files.size(); ++failed) {
        const int code = CheckWritable(files[failed].Pfad, err);
        if (code != 0) return code;
    }
    for (failed = 0; failed < files.size(); ++failed) {
        ziele.push_back({fs::path(files[failed].Pfad), fs::path(files[failed].Geschrieben), {}, false, false});
        if (!files[failed].Geschrieben.empty()) continue;
        const int code = WriteTemporary(ziele.back().target, files[failed].Schreibe, ziele.back().temp, err);
        if (code != 0) {
            RollBack(ziele);
            return code;
        }
    }
    return PutInPlace(ziele, failed, err);
}

// Writes data whole to a temporary file beside path and renames it over path: the target is either
// the old file or the complete new one. Returns the I/O code; err gets the errno value.
int WriteWholeFile(const std::string& path, const std::string& data, int& err) {
    std::size_t failed = 0;
    const TAusgabe datei{path, [&data](std::FILE* f) { return std::fwrite(data.data(), 1, data.size(), f) == data.size(); }, {}};
    return WriteTogether({datei}, failed, err);
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
    const int code = CheckWritable(path, err);
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
    const int code = WriteWholeFile(path_, data_, err);
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

TNeueDatei::~TNeueDatei() {
    if (datei_ != nullptr) std::fclose(datei_);
    std::error_code ec;
    if (!pfad_.empty()) fs::remove(pfad_, ec);
}

bool TNeueDatei::Oeffne(const std::string& ziel) {
    int err = 0;
    if (CheckWritable(ziel, err) != 0) return false;
    fs::path temp;
    datei_ = OpenTemporary(fs::path(ziel), temp);
    if (datei_ == nullptr) return false;
    pfad_ = temp.string();
    return true;
}

bool TNeueDatei::Schreibe(std::string_view text) {
    ok_ = ok_ && std::fwrite(text.data(), 1, text.size(), datei_) == text.size();
    return ok_;
}

bool TNeueDatei::Schliesse() {
    if (datei_ == nullptr) return false;
    ok_ = std::fflush(datei_) == 0 && ok_;
    ok_ = std::fclose(datei_) == 0 && ok_;
    datei_ = nullptr;
    return ok_;
}

int SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* reason) {
    std::size_t failed = 0;
    return SchreibeZusammen({{path, ZeilenSchreiber(lines), {}}}, failed, reason);
}

std::function<bool(std::FILE*)> ZeilenSchreiber(const std::vector<std::string>& lines) {
    return [&lines](std::FILE* f) {
        for (const std::string& line : lines)
            if (std::fwrite(line.data(), 1, line.size(), f) != line.size() || std::fputs("\r\n", f) == EOF) return false;
        return true;
    };
}

int SchreibeZusammen(const std::vector<TAusgabe>& dateien, std::size_t& failed, std::string* reason) {
    int err = 0;
    const int code = WriteTogether(dateien, failed, err);
    if (code != 0 && reason != nullptr) *reason = SystemReasonText(err);
    return code;
}

}  // namespace zentrix
