// The files a batch command writes besides its own outputs (--kugeln, --grafik), checked before
// any work: none may take the place of the command's input or of another of its outputs, and a
// pipe, a device or a folder is never replaced by a file.
#pragma once

#include <string>
#include <vector>

namespace zentrix {

// Why the file ziel may not be written by a command that reads eingabe (empty: none) and writes
// ausgaben: "Die Eingabedatei würde überschrieben", "<Ausgabe> ist eine Ausgabe dieser
// Auswertung", or the file's kind; empty where it may be written.
std::string ZielVerboten(const std::string& ziel, const std::string& eingabe, const std::vector<std::string>& ausgaben);

// The same for every file a command writes besides its outputs (empty names are skipped), for
// the command befehl on the input datei: the error line for the error stream, or empty.
std::string ZieleVerboten(const std::string& befehl, const std::string& datei, const std::vector<std::string>& ziele);

}  // namespace zentrix
