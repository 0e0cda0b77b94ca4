// SPDX-License-Identifier: GPL-3.0-or-later
// The system interface on Windows: the wide (UTF-16) functions of the Windows API for every name,
// handles opened so that others may still rename and delete the file, Windows errors as errno
// values or with German texts of their own.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "core/Plattform.hpp"
#include "core/SystemFehler.hpp"

namespace zentrix::plattform {

namespace {

std::wstring Breit(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring breit(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), breit.data(), n);
    return breit;
}

std::string Schmal(std::wstring_view breit) {
    if (breit.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, breit.data(), static_cast<int>(breit.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, breit.data(), static_cast<int>(breit.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

// The name as the system takes it: a long one (from about MAX_PATH on) as a full path behind
// "\\?\", which lifts the limit of 260 characters.
std::wstring Systemname(const std::string& utf8) {
    std::wstring name = Breit(utf8);
    if (name.size() < MAX_PATH - 12 || name.rfind(L"\\\\?\\", 0) == 0) return name;
    const DWORD n = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0) return name;
    std::wstring voll(n, L'\0');
    voll.resize(::GetFullPathNameW(name.c_str(), n, voll.data(), nullptr));
    if (voll.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + voll.substr(2);
    return L"\\\\?\\" + voll;
}

int Letzter() { return AusWindowsFehler(::GetLastError()); }

HANDLE Handle(std::FILE* f) { return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f))); }

// The same as TInfo, from an open handle.
int InfoVon(HANDLE h, bool gefolgt, TInfo& info) {
    info = {};
    if (::GetFileType(h) != FILE_TYPE_DISK) return 0;  // a pipe, the console, a device
    BY_HANDLE_FILE_INFORMATION b;
    if (!::GetFileInformationByHandle(h, &b)) return Letzter();
    const bool ordner = (b.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.Art = ordner ? TArt::Ordner : TArt::Datei;
    // A link looked at itself is no file to read or replace.
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!gefolgt && (b.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        ::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT))
        info.Art = TArt::Anderes;
    info.Kennung = {b.dwVolumeSerialNumber, (static_cast<std::uint64_t>(b.nFileIndexHigh) << 32) | b.nFileIndexLow};
    info.Groesse = (static_cast<std::uint64_t>(b.nFileSizeHigh) << 32) | b.nFileSizeLow;
    info.Schreibgeschuetzt = !ordner && (b.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return 0;
}

// Whether the name leads to a folder (opening a folder as a file fails with "access denied").
bool IstOrdner(const std::wstring& name) {
    const DWORD attribute = ::GetFileAttributesW(name.c_str());
    return attribute != INVALID_FILE_ATTRIBUTES && (attribute & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Cuts the file to length 0 and leaves its position where it was.
int KuerzeHandle(HANDLE h) {
    LARGE_INTEGER null{}, stand{};
    if (!::SetFilePointerEx(h, null, &stand, FILE_CURRENT) || !::SetFilePointerEx(h, null, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(h))
        return Letzter();
    ::SetFilePointerEx(h, stand, nullptr, FILE_BEGIN);
    return 0;
}

// A C stream on the handle h, which it then owns; null with errno set (h closed) on failure.
std::FILE* StromAuf(HANDLE h, const char* modus) {
    const bool nurLesen = std::strchr(modus, 'r') != nullptr && std::strchr(modus, '+') == nullptr;
    const bool nurSchreiben = std::strchr(modus, 'r') == nullptr && std::strchr(modus, '+') == nullptr;
    const int art = _O_BINARY | (nurLesen ? _O_RDONLY : nurSchreiben ? _O_WRONLY : _O_RDWR);
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), art);
    if (fd < 0) {
        ::CloseHandle(h);
        errno = EMFILE;
        return nullptr;
    }
    std::FILE* f = ::_fdopen(fd, modus);
    if (f == nullptr) ::_close(fd);
    return f;
}

constexpr DWORD kTeilen = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Error codes that MinGW's headers lack.
constexpr DWORD kKontingentErschoepft = 1295;  // ERROR_DISK_QUOTA_EXCEEDED
constexpr DWORD kVirusGefunden = 225;          // ERROR_VIRUS_INFECTED
constexpr DWORD kVirusEntfernt = 226;          // ERROR_VIRUS_DELETED

}  // namespace

// ---------------------------------------------------------------------------------------------
// Start, names, errors

std::vector<std::string> Programmstart(int, char**) {
    RechenwerkEinrichten();
    // The outputs are byte for byte those of Linux: no CR is put before an LF.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // The console shows the UTF-8 of the outputs as text; it gets its code page back at the end.
    static const UINT vorher = ::GetConsoleOutputCP();
    if (vorher != 0 && vorher != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { ::SetConsoleOutputCP(vorher); });
    std::vector<std::string> args;
    int n = 0;
    if (LPWSTR* w = ::CommandLineToArgvW(::GetCommandLineW(), &n)) {
        for (int i = 1; i < n; ++i) args.push_back(Schmal(w[i]));
        ::LocalFree(w);
    }
    return args;
}

void RechenwerkEinrichten() {
#if defined(__x86_64__) || defined(__i386__)
    // The precision field of the x87 control word (bits 8 and 9): 11 is the 64-bit significand.
    unsigned short wort = 0;
    __asm__ volatile("fnstcw %0" : "=m"(wort));
    wort = static_cast<unsigned short>(wort | 0x0300u);
    __asm__ volatile("fldcw %0" : : "m"(wort));
#endif
}

fs::path Pfad(std::string_view utf8) { return fs::path(Breit(utf8)); }

std::string Text(const fs::path& pfad) { return Schmal(pfad.native()); }

std::size_t NamensAnfang(std::string_view pfad) {
    const std::size_t trenner = pfad.find_last_of("/\\");
    if (trenner != std::string_view::npos) return trenner + 1;
    return pfad.size() >= 2 && pfad[1] == ':' ? 2 : 0;
}

int AusWindowsFehler(unsigned long code) {
    switch (code) {
        case ERROR_SUCCESS: return 0;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return ENOENT;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_PRIVILEGE_NOT_HELD: return EPERM;
        case ERROR_INVALID_HANDLE: return EBADF;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_WRITE_PROTECT: return EROFS;
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE: return EIO;
        case ERROR_NOT_SAME_DEVICE: return EXDEV;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
        case kKontingentErschoepft: return ENOSPC;
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED: return ENOTSUP;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_INVALID_PARAMETER:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return EINVAL;
        case ERROR_DIRECTORY: return ENOTDIR;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
        case ERROR_BUSY: return EBUSY;
        case ERROR_SEM_TIMEOUT: return ETIMEDOUT;
        case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA: return EPIPE;
        case ERROR_FILE_TOO_LARGE: return EFBIG;
        default: return WindowsFehlerBasis + static_cast<int>(std::min<unsigned long>(code, INT_MAX - WindowsFehlerBasis));
    }
}

std::string FehlerText(int err) {
    if (err < WindowsFehlerBasis) return {};
    switch (err - WindowsFehlerBasis) {
        case ERROR_SHARING_VIOLATION: return "Die Datei wird von einem anderen Programm verwendet";
        case ERROR_LOCK_VIOLATION: return "Ein Teil der Datei ist von einem anderen Programm gesperrt";
        case ERROR_NOT_READY: return "Das Laufwerk ist nicht bereit";
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR: return "Die Verbindung zum Netzlaufwerk ist unterbrochen";
        case ERROR_DELETE_PENDING: return "Die Datei wird gerade gelöscht";
        case ERROR_USER_MAPPED_FILE: return "Die Datei ist von einem anderen Programm in den Speicher abgebildet";
        case ERROR_MOD_NOT_FOUND: return "Das Modul oder eine Bibliothek, die es braucht, wurde nicht gefunden";
        case ERROR_PROC_NOT_FOUND: return "Dem Modul fehlt eine Funktion";
        case ERROR_BAD_EXE_FORMAT: return "Das Modul ist kein Programmteil für dieses Windows";
        case kVirusGefunden:
        case kVirusEntfernt: return "Der Virenschutz hat die Datei gesperrt";
        case ERROR_CANT_ACCESS_FILE: return "Auf die Datei kann nicht zugegriffen werden";
        case ERROR_NOT_LOCKED: return "Die Datei ist nicht gesperrt";
        default: return "Windows-Fehler " + std::to_string(err - WindowsFehlerBasis);
    }
}

// ---------------------------------------------------------------------------------------------
// Files

int Info(const std::string& pfad, TInfo& info, bool folgen) {
    const std::wstring name = Systemname(pfad);
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (folgen ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE h = ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kTeilen, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Letzter();
    const int err = InfoVon(h, folgen, info);
    ::CloseHandle(h);
    return err;
}

TDatei::TDatei(TDatei&& andere) noexcept : handle_(std::exchange(andere.handle_, nullptr)) {}

TDatei& TDatei::operator=(TDatei&& andere) noexcept {
    if (this != &andere) {
        Schliesse();
        handle_ = std::exchange(andere.handle_, nullptr);
    }
    return *this;
}

int TDatei::Oeffne(const std::string& pfad, TOeffnen art) {
    Schliesse();
    const std::wstring name = Systemname(pfad);
    const DWORD zugriff = art == TOeffnen::Lesen ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD anlegen = art == TOeffnen::Lesen ? OPEN_EXISTING : art == TOeffnen::Offen ? OPEN_ALWAYS : CREATE_NEW;
    // Written files are never reached through a link.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (art == TOeffnen::Lesen ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE h = ::CreateFileW(name.c_str(), zugriff, kTeilen, nullptr, anlegen, flags, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        handle_ = h;
        return 0;
    }
    const DWORD code = ::GetLastError();
    return code == ERROR_ACCESS_DENIED && IstOrdner(name) ? EISDIR : AusWindowsFehler(code);
}

bool TDatei::Offen() const { return handle_ != nullptr; }

int TDatei::Info(TInfo& info) const { return InfoVon(handle_, true, info); }

int TDatei::Sperre(bool warten) {
    // One byte at 2^62: far past the end of any file, so that the lock keeps other runs of this
    // program out but never a reader or a writer of the file's bytes.
    OVERLAPPED stelle{};
    stelle.OffsetHigh = 0x40000000;
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (warten ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (::LockFileEx(handle_, flags, 0, 1, 0, &stelle)) return 0;
    const DWORD code = ::GetLastError();
    return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? EWOULDBLOCK : AusWindowsFehler(code);
}

int TDatei::Kuerze() { return KuerzeHandle(handle_); }

long long TDatei::Lies(void* ziel, std::size_t n) {
    DWORD gelesen = 0;
    if (::ReadFile(handle_, ziel, static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30)), &gelesen, nullptr))
        return gelesen;
    if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
    errno = Letzter();
    return -1;
}

std::FILE* TDatei::Strom(const char* modus) const {
    HANDLE zweite = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), handle_, ::GetCurrentProcess(), &zweite, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        errno = Letzter();
        return nullptr;
    }
    return StromAuf(zweite, modus);
}

void TDatei::Schliesse() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
    handle_ = nullptr;
}

int SichereStrom(std::FILE* f) {
    if (::FlushFileBuffers(Handle(f))) return 0;
    const int err = Letzter();
    return err == ENOTSUP ? 0 : err;
}

int KuerzeStrom(std::FILE* f) { return KuerzeHandle(Handle(f)); }

long long LiesAn(std::FILE* f, void* ziel, std::size_t n, std::uint64_t pos) {
    // ReadFile at a given place moves the file's position: it is put back.
    const HANDLE h = Handle(f);
    LARGE_INTEGER null{}, stand{};
    if (!::SetFilePointerEx(h, null, &stand, FILE_CURRENT)) {
        errno = Letzter();
        return -1;
    }
    OVERLAPPED stelle{};
    stelle.Offset = static_cast<DWORD>(pos);
    stelle.OffsetHigh = static_cast<DWORD>(pos >> 32);
    DWORD gelesen = 0;
    const bool ok = ::ReadFile(h, ziel, static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30)), &gelesen, &stelle);
    const DWORD code = ::GetLastError();
    ::SetFilePointerEx(h, stand, nullptr, FILE_BEGIN);
    if (ok || code == ERROR_HANDLE_EOF) return ok ? gelesen : 0;
    errno = AusWindowsFehler(code);
    return -1;
}

void SchreibeFrueh(std::FILE*, std::uint64_t, std::uint64_t) {}

std::FILE* TemporaereDatei() {
    wchar_t ordner[MAX_PATH + 1], name[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, ordner) == 0 || ::GetTempFileNameW(ordner, L"zx", 0, name) == 0) return nullptr;
    // Removed by the system when it is closed, however the program ends.
    const HANDLE h = ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, kTeilen, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ::DeleteFileW(name);
        return nullptr;
    }
    return StromAuf(h, "w+b");
}

// ---------------------------------------------------------------------------------------------
// Names in a folder

int Umbenenne(const std::string& von, const std::string& ziel) {
    if (::MoveFileExW(Systemname(von).c_str(), Systemname(ziel).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return Letzter();
}

int Tausche(const std::string& a, const std::string& b, const std::string& hilfe) {
    const std::wstring wa = Systemname(a), wb = Systemname(b), wh = Systemname(hilfe);
    ::DeleteFileW(wh.c_str());  // what a crash in an earlier exchange left
    // b's file keeps a name of its own while a's file takes b's.
    if (!::CreateHardLinkW(wh.c_str(), wb.c_str(), nullptr)) {
        const int err = Letzter();
        return err == EINVAL ? ENOTSUP : err;
    }
    constexpr DWORD ersetzen = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!::MoveFileExW(wa.c_str(), wb.c_str(), ersetzen)) {
        const int err = Letzter();
        ::DeleteFileW(wh.c_str());
        return err;
    }
    if (::MoveFileExW(wh.c_str(), wa.c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    // Put back as it was: a's file under a again, b's old file under b.
    const int err = Letzter();
    if (::CreateHardLinkW(wa.c_str(), wb.c_str(), nullptr)) ::MoveFileExW(wh.c_str(), wb.c_str(), ersetzen);
    return err;
}

int Loesche(const std::string& pfad) { return ::DeleteFileW(Systemname(pfad).c_str()) ? 0 : Letzter(); }

int SichereOrdner(const std::string&) { return 0; }

int SetzeRechte(const std::string&, unsigned) { return 0; }

bool NamePasst(const std::string&, std::string_view name) { return Breit(name).size() <= 255; }

// ---------------------------------------------------------------------------------------------
// A whole file seen in memory

namespace {

// Whether the file lies on a network drive: only there does the system know a remote protocol.
bool AufNetzlaufwerk(HANDLE h) {
    FILE_REMOTE_PROTOCOL_INFO protokoll{};
    return ::GetFileInformationByHandleEx(h, FileRemoteProtocolInfo, &protokoll, sizeof protokoll) != 0;
}

}  // namespace

int TAnsicht::Oeffne(const TDatei& datei) {
    Schliesse();
    TInfo info;
    if (const int err = datei.Info(info); err != 0) return err;
    if (info.Art != TArt::Datei) return EINVAL;
    if (info.Groesse == 0) return 0;  // Windows maps no empty file
    if (info.Groesse > SIZE_MAX) return ENOMEM;
    const auto groesse = static_cast<std::size_t>(info.Groesse);
    if (AufNetzlaufwerk(datei.handle_)) {
        // Read whole: a view of it would end the program where another computer shortens it.
        char* eigen = new (std::nothrow) char[groesse]();
        if (eigen == nullptr) return ENOMEM;
        std::size_t gelesen = 0;
        for (DWORD n = 1; gelesen < groesse && n > 0; gelesen += n) {
            OVERLAPPED stelle{};
            stelle.Offset = static_cast<DWORD>(gelesen);
            stelle.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(gelesen) >> 32);
            const auto teil = static_cast<DWORD>(std::min<std::size_t>(groesse - gelesen, 1u << 30));
            if (!::ReadFile(datei.handle_, eigen + gelesen, teil, &n, &stelle)) {
                const DWORD code = ::GetLastError();
                if (code == ERROR_HANDLE_EOF) break;
                delete[] eigen;
                return AusWindowsFehler(code);
            }
        }
        daten_ = eigen;
        groesse_ = groesse;
        eigen_ = true;
        verkuerzt_ = gelesen < groesse;  // the rest stays zeros, as on Linux
        return 0;
    }
    // The view keeps the mapping alive: its handle can go at once.
    const HANDLE abbildung = ::CreateFileMappingW(datei.handle_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (abbildung == nullptr) return Letzter();
    const void* p = ::MapViewOfFile(abbildung, FILE_MAP_READ, 0, 0, 0);
    const int err = p == nullptr ? Letzter() : 0;
    ::CloseHandle(abbildung);
    if (err != 0) return err;
    daten_ = static_cast<const char*>(p);
    groesse_ = groesse;
    return 0;
}

void TAnsicht::Freigeben(std::size_t von, std::size_t bis) const {
    bis = std::min(bis, groesse_);
    if (daten_ == nullptr || eigen_ || bis <= von) return;
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    const std::uintptr_t seite = system.dwPageSize;
    const auto anfang = (reinterpret_cast<std::uintptr_t>(daten_ + von) + seite - 1) & ~(seite - 1);
    const auto ende = reinterpret_cast<std::uintptr_t>(daten_ + bis) & ~(seite - 1);
    // Unlocking pages that are not locked takes them out of the process's working set; read
    // again, they come back from the file (or the system's cache).
    if (ende > anfang) ::VirtualUnlock(reinterpret_cast<void*>(anfang), ende - anfang);
}

bool TAnsicht::Verkuerzt() const { return verkuerzt_; }

void TAnsicht::Schliesse() {
    if (daten_ != nullptr && eigen_) delete[] daten_;
    else if (daten_ != nullptr) ::UnmapViewOfFile(daten_);
    daten_ = nullptr;
    groesse_ = 0;
    eigen_ = false;
    verkuerzt_ = false;
}

// ---------------------------------------------------------------------------------------------
// The program itself, modules, memory

fs::path Programmdatei(std::string& fehler) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            fehler = "das Programm findet seinen Ordner nicht";
            return {};
        }
        if (n < name.size()) {
            name.resize(n);
            return fs::path(name);
        }
        name.resize(name.size() * 2);
    }
}

std::string ModulDatei(std::string_view name) { return std::string(name) + ".dll"; }

void* LadeModulFunktion(const fs::path& modul, const char* symbol, std::string& fehler) {
    // The libraries the module needs are looked for beside it first.
    const HMODULE geladen = ::LoadLibraryExW(modul.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (geladen == nullptr) {
        fehler = SystemReasonText(Letzter());
        return nullptr;
    }
    const FARPROC funktion = ::GetProcAddress(geladen, symbol);
    if (funktion == nullptr) fehler = SystemReasonText(Letzter());
    return reinterpret_cast<void*>(funktion);
}

void GrosseSeitenRaten(void*, std::size_t) {}

}  // namespace zentrix::plattform
