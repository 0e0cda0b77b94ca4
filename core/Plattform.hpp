// SPDX-License-Identifier: GPL-3.0-or-later
// What the programs need of the operating system, in one place, with one implementation for Linux
// (PlattformLinux.cpp) and one for Windows (PlattformWindows.cpp); the build takes the one of the
// system it builds for. Nothing else in the program calls the system's own file functions.
//
// Names are UTF-8 text everywhere in the program; on Windows they reach the system through its
// wide (UTF-16) functions. A failure is an errno value (<cerrno>), the same numbers on both
// systems; a Windows error that has no such value is WindowsFehlerBasis + its code, with a German
// text of its own (FehlerText).
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix::plattform {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Start, names, errors

// Called first thing in main. Gives the program's arguments (without its own name) as UTF-8 text. On Windows it also
// makes the standard streams pass every byte unchanged (no CR put before an LF, none taken out of
// the input) and the console show UTF-8; on Linux the arguments are argv as they stand.
std::vector<std::string> Programmstart(int argc, char** argv);

// Makes the calling thread compute long double with its whole 64-bit significand: Windows starts
// every thread but the first with the x87 unit rounding to 53 bits, which would make the
// computation's extended precision a double's. Every thread that computes calls it first
// (core/Ausfuehrer's workers); on Linux, where threads start with 64 bits, it does nothing.
void RechenwerkEinrichten();

// A path from its UTF-8 text, and a path's UTF-8 text. (std::filesystem would read a narrow name
// in the system's ANSI code page on Windows.)
fs::path Pfad(std::string_view utf8);
std::string Text(const fs::path& pfad);

// Where the file's own name begins in a path: behind the last "/" (on Windows also behind the last
// "\" or the ":" of a drive, "C:Messung.dat").
std::size_t NamensAnfang(std::string_view pfad);

// A failure's number from this on is a Windows error code (WindowsFehlerBasis + code).
constexpr int WindowsFehlerBasis = 100000;

// The German reason for a Windows error (err = WindowsFehlerBasis + code): "Die Datei wird von
// einem anderen Programm verwendet", ..., "Windows-Fehler <code>" for any other. Empty for any
// err below WindowsFehlerBasis (an errno value, whose text core/SystemFehler gives) and on Linux.
std::string FehlerText(int err);

#ifdef _WIN32
// The failure for a Windows error code (GetLastError): the errno value of the same meaning (a
// missing file ENOENT, a full disk ENOSPC, access refused EACCES, ...) or WindowsFehlerBasis + code.
int AusWindowsFehler(unsigned long code);
#endif

// ---------------------------------------------------------------------------------------------
// Files

enum class TArt {
    Datei,    // a regular file
    Ordner,   // a folder
    Anderes,  // a pipe, a device, a socket (and on Linux a symbolic link looked at without following it)
};

// What makes a file itself, whatever its name: the device (volume) and the file's number on it.
// Hard links to one file have the same; a file keeps it through renames.
struct TKennung {
    std::uint64_t Geraet = 0, Nummer = 0;
    bool operator==(const TKennung&) const = default;
};

struct TInfo {
    TArt Art = TArt::Anderes;
    TKennung Kennung;
    std::uint64_t Groesse = 0;  // bytes
    // Protected against writing: on Linux no write permission for anyone (the mode bits; the
    // superuser could write anyway), on Windows the read-only attribute of a file.
    bool Schreibgeschuetzt = false;
    // The file's permissions to give another file in its place (Linux: mode bits 07777; Windows:
    // none, 0).
    unsigned Rechte = 0;
};

// What the file at pfad is; with folgen false a link is looked at itself (a Windows reparse point
// too). Returns the errno value of a failure (ENOENT: there is none).
int Info(const std::string& pfad, TInfo& info, bool folgen = true);

enum class TOeffnen {
    // An existing file, for reading. It never waits for a writer (a pipe) and never becomes the
    // controlling terminal; others may read, write, rename and delete it meanwhile.
    Lesen,
    // For reading and writing, created where it is missing, never through a symbolic link.
    Offen,
    // For reading and writing, created anew: EEXIST where the name is taken (a link too).
    Neu,
};

// An open file, closed with its object. Others may rename and delete it while it is open, on
// Windows too.
class TDatei {
public:
    TDatei() = default;
    ~TDatei() { Schliesse(); }
    TDatei(TDatei&& andere) noexcept;
    TDatei& operator=(TDatei&& andere) noexcept;
    TDatei(const TDatei&) = delete;
    TDatei& operator=(const TDatei&) = delete;

    // Returns the errno value of a failure. A folder opens for reading on Linux (Info tells what it
    // is) and gives EISDIR on Windows.
    int Oeffne(const std::string& pfad, TOeffnen art);
    bool Offen() const;
    int Info(TInfo& info) const;

    // Locks the file for this process, exclusively; the lock goes when the file is closed,
    // however the process ends. Readers are never blocked by it: on Linux it is flock on the whole
    // file, which only other locks heed; on Windows LockFileEx on one byte far past the end of
    // the file. With warten false a lock held by another (another process, or another TDatei of
    // this file) gives EWOULDBLOCK at once; with warten true the call waits for it. A file system
    // that knows no locks gives ENOLCK, ENOSYS or EOPNOTSUPP.
    int Sperre(bool warten);
    // Cuts the file to length 0.
    int Kuerze();
    // Reads up to n bytes at the current position: their number (0 at the end), or -1 with errno
    // set.
    long long Lies(void* ziel, std::size_t n);
    // A C stream ("wb", "rb", ...) on a second handle of the same file, at its current position;
    // closing the stream leaves this one open. Null with errno set on failure.
    std::FILE* Strom(const char* modus) const;
    void Schliesse();

private:
    friend class TAnsicht;
#ifdef _WIN32
    void* handle_ = nullptr;  // HANDLE; null when closed
#else
    int fd_ = -1;
#endif
};

// A C stream on the file pfad opened as art says ("rb", "wb", ...): TDatei::Oeffne and Strom in one.
// Null with errno set on failure.
inline std::FILE* OeffneStrom(const std::string& pfad, TOeffnen art, const char* modus) {
    TDatei datei;
    if (const int err = datei.Oeffne(pfad, art); err != 0) {
        errno = err;
        return nullptr;
    }
    return datei.Strom(modus);
}

// For a C stream opened by the program (a file's writer): makes what fflush handed to the system
// durable (fdatasync; FlushFileBuffers). Returns the errno value of a failure; a file
// system that cannot make a file durable counts as done.
int SichereStrom(std::FILE* f);
// Cuts the stream's file to length 0 (the stream's position is left as it is).
int KuerzeStrom(std::FILE* f);
// Reads up to n bytes at byte pos of the stream's file, without moving the stream: their number,
// or -1 with errno set.
long long LiesAn(std::FILE* f, void* ziel, std::size_t n, std::uint64_t pos);

// A hint for a large output that grows: the bytes [von, von + laenge) of the stream's file,
// handed to the system by fflush, may go to the disk now, so that making the whole file durable
// at its end has little left to do and the system never holds much unwritten data. Only starts
// the writing (Linux: sync_file_range with SYNC_FILE_RANGE_WRITE), never waits for it, and
// promises nothing: making the file durable is still SichereStrom's work. On Windows it does
// nothing.
void SchreibeFrueh(std::FILE* f, std::uint64_t von, std::uint64_t laenge);

// A temporary file without a name (in the system's temporary folder, gone when closed and after a
// crash), open for reading and writing; null where none can be made.
std::FILE* TemporaereDatei();

// ---------------------------------------------------------------------------------------------
// Names in a folder

// Gives ziel's name to the file von, in one step, in place of a file ziel that is there. Returns
// the errno value of a failure. On Windows the rename is written through to the disk before the
// call returns (MOVEFILE_WRITE_THROUGH).
int Umbenenne(const std::string& von, const std::string& ziel);

// Exchanges the files of the names a and b, which both exist: afterwards a leads to b's old file
// and b to a's. Neither name is missing at any moment. Linux: renameat2 with RENAME_EXCHANGE, one
// step. Windows knows no exchange: b's file first gets the third name hilfe as a second link
// (which must not exist), a's file then replaces b (written through), and b's old file goes from
// hilfe to a; a crash in between leaves hilfe, or a missing, with b already new. Returns the errno
// value of a failure; ENOTSUP where the file system cannot do it (Linux: vfat and some network
// file systems; Windows: anything without hard links), and nothing has changed then.
int Tausche(const std::string& a, const std::string& b, const std::string& hilfe);

// Removes the name (a file, not a folder). Returns the errno value of a failure.
int Loesche(const std::string& pfad);

// Makes the names in a folder durable: files created, renamed or exchanged there (Linux: fsync of
// the folder). Windows cannot make a folder durable: it writes every rename and exchange of this
// interface through instead, and this does nothing. Returns the errno value of a failure; a file
// system that cannot sync a folder counts as done.
int SichereOrdner(const std::string& ordner);

// Gives the file the permissions rechte (TInfo::Rechte of another file). Returns the errno value
// of a failure. Windows: nothing to do (a new file takes the folder's).
int SetzeRechte(const std::string& pfad, unsigned rechte);

// Whether the folder takes a name of this length: on Linux bytes against the folder's limit
// (pathconf, usually 255), on Windows UTF-16 units against 255.
bool NamePasst(const std::string& ordner, std::string_view name);

// ---------------------------------------------------------------------------------------------
// A whole file seen in memory

// A read-only view of a whole regular file: its bytes as they were when it was opened (Linux:
// mmap with PROT_READ and MAP_PRIVATE; Windows: a file mapping), without reading them into memory
// of their own. Pages come from the file as they are read, so a view of a large file costs memory
// only for what has been read and not yet let go (Freigeben).
//
// A file that another program shortens while it is seen would end the program at the first read
// behind its new end. On Linux such a read gives zeros instead (a page of zeros takes the lost
// page's place, SIGBUS caught), and Verkuerzt() tells it. Windows refuses to shorten a file on a
// local drive while a view of it is open; a file on a network drive, where another computer could
// still shorten it, is read whole into memory instead, and Verkuerzt() tells whether it was
// shorter than its size when opened.
class TAnsicht {
public:
    TAnsicht() = default;
    ~TAnsicht() { Schliesse(); }
    TAnsicht(const TAnsicht&) = delete;
    TAnsicht& operator=(const TAnsicht&) = delete;

    // Sees the whole of the open file datei, which must be a regular file (the view stays valid
    // when datei is closed), to be read mostly from front to back. An empty file is an empty view.
    // Returns the errno value of a failure (EINVAL: no regular file).
    int Oeffne(const TDatei& datei);
    // The file's bytes.
    std::string_view Text() const { return {daten_, groesse_}; }
    // The bytes [von, bis) (places in Text()) will not be read again for a while: the whole pages
    // among them are let go (Linux: madvise MADV_DONTNEED; Windows: out of the working set) and
    // come from the file again if they are read. Readers of different parts may each let go of
    // their own part at the same time.
    void Freigeben(std::size_t von, std::size_t bis) const;
    // The file became shorter while it was seen: some of the bytes read were zeros.
    bool Verkuerzt() const;
    void Schliesse();

private:
    const char* daten_ = nullptr;
    std::size_t groesse_ = 0;
#ifdef _WIN32
    bool eigen_ = false;      // read whole into memory of its own (a network drive)
    bool verkuerzt_ = false;  // and found shorter than its size
#else
    int eintrag_ = -1;  // its place among the views whose shortening is caught (-1: none)
#endif
};

// ---------------------------------------------------------------------------------------------
// The program itself, modules, memory

// The program's own file (its full path).
fs::path Programmdatei(std::string& fehler);

// The file name of a loadable module: "<name>.so" on Linux, "<name>.dll" on Windows.
std::string ModulDatei(std::string_view name);
// Loads the module and gives the address of its function symbol; null with the reason (German)
// in fehler where the module cannot be loaded or lacks the symbol. The module stays loaded.
void* LadeModulFunktion(const fs::path& modul, const char* symbol, std::string& fehler);

// Advice for a fresh large buffer (bytes): back its whole pages by huge pages where the system
// allows it (Linux: madvise MADV_HUGEPAGE). Windows: nothing.
void GrosseSeitenRaten(void* p, std::size_t n);

}  // namespace zentrix::plattform
