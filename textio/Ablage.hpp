// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole beside their target before they are put in place: the checks before, the
// writing and making durable, and the points at which a test can cut the writing short.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "core/Plattform.hpp"

namespace zentrix {

// Where the writing of a file can be cut short (see AblageTestHaken).
enum class TAblagePunkt {
    Schreiben,  // the content of a new file is about to be written
    Sichern,    // a new file is about to be made durable
    Tausch,     // a group of outputs is about to take the swap's step with the given number
    Ordner,     // a folder is about to be made durable
    Sperre,     // a file is about to be locked
    Rechte,     // a new file is about to take its old file's permissions
    Zurueck,    // the exchange of the output with the given number (from 1) is about to be undone
    Umbenennen, // a whole file written beside its target is about to take its place
};

// For tests only; the program never sets it. Called at each such point with the swap's step
// number (0 outside a swap). A result other than 0 is the errno value the step then fails with
// (where the step can fail); a test may also end the process there, as a crash would.
extern int (*AblageTestHaken)(TAblagePunkt punkt, int schritt);

// Paths are UTF-8 text (core/Plattform.hpp).
namespace ablage {

// The folder a file lies in ("." for a bare file name).
std::string Ordner(const std::string& datei);

// Whether ordner is a folder: 0, ENOENT where it does not exist, ENOTDIR where it is something
// else, or the errno value of the check that failed (a folder that may not be looked into, a
// disk's I/O error).
int OrdnerFehler(const std::string& ordner);

// Opens the regular file pfad for reading into datei, with what it is in info. Returns the I/O
// code of a failure (0: opened): an empty name, or a missing file in a missing folder, is a bad
// name (a folder that cannot be looked at says why); a folder, a pipe, a device or a socket is
// refused at once. err gets the errno value of a system failure (ENOENT for an empty name, 0 for
// the refusal of what is no regular file).
int OeffneZumLesen(const std::string& pfad, plattform::TDatei& datei, plattform::TInfo& info, int& err);

// Whether both names lead to the same file: the same volume and file number where both exist,
// through links and relative parts alike; where either does not exist, the same path once
// resolved.
bool GleicheDatei(const std::string& a, const std::string& b);

// The name of a hidden file of this program that belongs to the file datei, beside it:
// ".<name>.zentrix-<art>". Where that would exceed the folder's limit for a name, the name is
// replaced by a digest of it (".zentrix-<16 hex digits>-<art>"): the same name always gives the
// same hidden name, and every name that the folder takes has hidden names that it takes too.
std::string Versteckt(const std::string& datei, const std::string& art);

// Tests that path can be written as a whole new file: its folder exists and may be written, the
// path is no folder, no pipe, device or socket, and not write-protected. Returns the I/O code; err
// gets the errno value that describes a failure (0 with ea::KeineGewoehnlicheDatei).
int PruefeSchreibbar(const std::string& path, int& err);

// Locks the open file for this process (TDatei::Sperre; the system releases the lock when the file
// is closed, however the process ends). While another process holds it, calls wartet once and
// waits. Returns 0 or the errno value of a failure. Where the file system has no locks, the work
// goes on unlocked and 0 is returned; the error stream hears that once.
int Sperre(plattform::TDatei& datei, const std::function<void()>& wartet = {});

// Gives the new file neu the permissions of the file ziel, where there is one. Returns the errno
// value of a failure (0 also where the file system keeps no permissions of its own and neu already
// has them).
int UebernimmRechte(const std::string& neu, const std::string& ziel);

// Asks the test hook, if any, whether the step at punkt is to fail (its errno value, else 0).
int Probe(TAblagePunkt punkt, int schritt = 0);

// Flushes, makes durable (plattform::SichereStrom) and closes a file written anew. Returns the errno value of
// the first failure (0: none).
int SchliesseDauerhaft(std::FILE* f);

// Creates the new file pfad (which must not exist), writes it through schreibe (false when a
// write failed, errno telling why), makes it durable and closes it. Returns the errno value of a
// failure, after which no file is left; 0 on success.
int SchreibeNeu(const std::string& pfad, const std::function<bool(std::FILE*)>& schreibe);

// Makes the names in a folder durable (plattform::SichereOrdner): files created, renamed or
// exchanged there. Returns the errno value of a failure; a file system that cannot sync a folder
// counts as done.
int SichereOrdner(const std::string& ordner);

// Writes the file ziel whole (a table, a picture, a coordinate file): into its hidden file
// Versteckt(ziel, "neu") beside it, locked while it is written, made durable, with the old file's
// permissions, then renamed into place and the folder made durable. A write cut short leaves at
// most that hidden file, which the next write of the same target takes over; a second write of
// the same target waits for the first. Returns the errno value of a failure; amPlatz tells
// whether the new file took its place all the same (only the folder could not be made durable).
int SchreibeGanz(const std::string& ziel, const std::function<bool(std::FILE*)>& schreibe, bool& amPlatz);

// Tests that the folder of ziel takes a new file (ownership, read-only mounts), with the hidden
// file of SchreibeGanz. Returns the errno value of a failure.
int PruefeNeueDatei(const std::string& ziel);

}  // namespace ablage

}  // namespace zentrix
