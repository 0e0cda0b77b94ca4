// SPDX-License-Identifier: GPL-3.0-or-later
// The operating system's error numbers as the I/O result codes and German reasons of the program.
#pragma once

#include <string>

namespace zentrix {

// I/O result codes from this on stand for the system's error number SystemFehlerBasis + errno,
// whose text is that error's German reason.
constexpr int SystemFehlerBasis = 1000;

// Maps an errno value of a failed open, read, create, rename or sync to the I/O result code: 2
// missing file, 3 missing folder or bad name, 4 too many open files, 5 access refused, 101 disk
// full; any other value to SystemFehlerBasis + errno (a folder, a disk's I/O error, ...).
int IOCodeFromErrno(int err);

// The German reason for an errno value ("Die Datei oder der Ordner existiert nicht",
// "Zugriff verweigert", ...; every error a file operation of the program can meet has its text,
// a Windows error its own text (plattform::FehlerText), any other reads "Systemfehler <n>"); a
// full disk or quota gives the text of the I/O code 101, "Zu wenig Speicherplatz".
std::string SystemReasonText(int err);

}  // namespace zentrix
