// SPDX-License-Identifier: GPL-3.0-or-later
// Reading numbers from a text file token by token, and writing text files whole.
//
// Failures do not raise at once: an operation sets a pending I/O result code, and the command
// tests it after each statement (open, end test, one record, close) with CheckIO, which raises
// EInOutError. A record read as one statement thus reports its first failure only after its last
// field and the SkipLine. The first failure of a statement wins: later ones are not recorded.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/EACode.hpp"
#include "textio/Abbild.hpp"

namespace zentrix {

// Ctrl-Z ends a text: nothing behind it is ever read.
constexpr char kCtrlZ = 26;

class TTextReader {
public:
    // Opens a file for reading; a failure sets the pending code (2 missing file, 3 missing folder
    // or empty name, 5 access refused, other codes as the system gives them; a folder, a device or
    // a text in UTF-16 is no file to read).
    void Open(const std::string& path);
    // The same, but the end of the text (a Ctrl-Z) not yet looked for: the caller finds it in a
    // pass of its own over the text (ZaehleBis) and says so with Ende before the first read.
    void OpenOhneEnde(const std::string& path);
    void Ende(std::size_t ende) { end_ = std::min(ende, text_.size()); }
    // Reads from a text held in memory (for tests and standard input).
    void OpenText(std::string text);
    // Reads from a text held elsewhere, which must outlive the reading: a part of the file pfad
    // that begins after zeilenVorher lines (for the places of errors). Where the text is a part of
    // a mapped file (Abbild), the reading gives back the pages it has passed. A text cut before the
    // file's Ctrl-Z already (a part of another reader's Text()) need not be searched for it again.
    void OpenView(std::string_view text, std::string pfad = {}, long long zeilenVorher = 0,
                  std::shared_ptr<const TDateiAbbild> abbild = nullptr, bool endeGesucht = false);
    // The mapped file Open reads (none for a text in memory).
    const std::shared_ptr<const TDateiAbbild>& Abbild() const { return abbild_; }
    // The text up to its end (a Ctrl-Z or the last character), and where the reading stands.
    std::string_view Text() const { return text_.substr(0, end_); }
    std::size_t Position() const { return pos_; }
    bool IsOpen() const { return open_; }
    // The file read (its full path), for the place of an error.
    const std::string& Pfad() const { return pfad_; }

    // True when only characters of code 32 and below remain before the end of the file or a
    // Ctrl-Z (code 26), which ends the file. Blanks and empty lines after the last record are
    // therefore no further record.
    bool AtEndOfText();
    // Token reads skip every character of code 32 and below (line ends too, so a record may go on
    // on the next line), then take the characters up to the next such character. A token longer
    // than 32 (integers) or 64 (reals) characters, and a token that is not a number, gives 0 and
    // the pending code 106. A read that meets the end of the text before a token (a
    // record cut short) gives 0 and the pending code 100.
    //
    // The next token as a signed 32-bit integer (decimal, or hex after "$", "x", "X", "0x", "0X").
    std::int32_t ReadIntegerToken();
    // The next token as an integer of the signed 64-bit range, of which the lowest 32 bits are
    // returned without sign (-1 gives 4294967295).
    std::uint32_t ReadUnsignedToken();
    // The next token as a real (decimal point only, optional exponent). A number beyond the
    // extended range is ea::UngueltigeZahl; one beyond the range of a double (magnitude above
    // about 1.8e308) sets ea::GleitkommaUeberlauf.
    double ReadRealToken();
    // Moves behind the end of the current line (LF, or CR LF); at the end of the text it does
    // nothing (no error).
    void SkipLine();
    void Close();

    // The pending I/O result code (0: none; ea::GleitkommaUeberlauf for a real beyond the range of a
    // double); reading it clears it.
    int IOResult();
    // Raises the pending code as EInOutError (EMathError "Gleitkommaüberlauf" for
    // ea::GleitkommaUeberlauf) and clears it; does nothing when none is pending. The error's place is the
    // file (its full path) and, for a field that failed, the field's line (LF ends a line, as
    // SkipLine reads it; the first line is 1), its number in the statement (from 1) and its text.
    // The statement ends: the fields of the next are counted afresh.
    void CheckIO();

private:
    void SetError(int code);
    // The first failure of the statement at the field that begins at pos with this text.
    void SetError(int code, std::size_t pos, std::string_view text);
    bool AtEnd() const;
    std::string_view NextToken(std::size_t maxLength);

    // Gives back the pages of a mapped file that the reading has passed.
    void GibFrei();

    std::string data_;       // the text, when the reader holds it
    std::shared_ptr<const TDateiAbbild> abbild_;  // the mapped file the text lies in, where it is one
    std::size_t frei_ = 0;   // the text before this has been given back
    std::string_view text_;  // the text read
    std::size_t pos_ = 0;
    std::size_t end_ = 0;  // first Ctrl-Z or the size
    bool open_ = false;
    int pending_ = 0;
    // For the place of an error: the file, the lines before the text read, the fields taken in
    // the statement, and the failing field (its start in the text, its number and text).
    std::string pfad_;
    long long zeilenVorher_ = 0;
    int feld_ = 0;
    std::size_t fehlerPos_ = std::string::npos;
    int fehlerFeld_ = 0;
    std::string fehlerText_;
    std::string ortGrund_;  // the place of a failed Open where it is no file ("Der Ordner … existiert nicht")
};

// The file's full path as the user should see it in a message (the name as given where it has
// none).
std::string VollerPfad(const std::string& name);

// Writes lines to a file, each ended by CR LF. The lines are collected and written whole to a
// temporary file beside the target, made durable, which then replaces the target: a failure never
// leaves half a file. Failures set a pending code like TTextReader (101 for a full disk).
class TTextWriter {
public:
    // Checks that the file can be created and starts collecting: a missing folder gives 3; a
    // target that is a folder, or a write-protected target or folder (by its mode bits, so that
    // write protection holds for the superuser too), gives 5.
    void Create(const std::string& path);
    void WriteLine(const std::string& line);
    // Writes everything and puts the file in place.
    void Close();
    bool IsOpen() const { return open_; }
    int IOResult();
    void CheckIO();

private:
    std::string path_;  // the file to write (for the place of an error too)
    std::string data_;
    bool open_ = false;
    int pending_ = 0;
};

// Reads a whole file into text. Returns the I/O result code (0 on success) and, on failure, the
// system's reason in German in reason.
int LoadText(const std::string& path, std::string& text, std::string* reason = nullptr);
// Reads a whole file as lines (CR LF, LF or CR ends a line; a last line without line end counts).
// Returns the I/O result code (0 on success).
// On failure the lines are left unchanged.
int LoadLines(const std::string& path, std::vector<std::string>& lines);
// The same, giving on failure the system's reason in German in reason.
int LoadLines(const std::string& path, std::vector<std::string>& lines, std::string* reason);
// Writes lines each ended by CR LF, whole and durable, then puts the file in place. Returns the
// I/O code and, on failure, the system's reason in German in reason.
int SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* reason = nullptr);
// Writes text as it stands (a picture, a table) whole and durable, then puts the file in place.
// Returns the I/O code and, on failure, the system's reason in German in reason.
int SaveText(const std::string& path, std::string_view text, std::string* reason = nullptr);
// Splits a text into lines by the same rule as LoadLines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace zentrix
