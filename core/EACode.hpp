// The I/O result codes a text file operation ends with. They are stored in run records and shown
// in messages ("E/A-Fehler 103"), so their numbers stay as they are; codes from SystemFehlerBasis
// on carry a system error number instead (SystemFehler.hpp).
#pragma once

namespace zentrix::ea {

enum Code : int {
    Ok = 0,
    NichtGefunden = 2,            // "Datei nicht gefunden"
    UngueltigerName = 3,          // no name, or a folder on the path that does not exist
    ZuVieleDateien = 4,           // the process or the system has no file handle left
    ZugriffVerweigert = 5,        // no right to read or write, a folder, a write-protected file
    HinterDateiende = 100,        // a read past the end of the text
    ZuWenigPlatz = 101,           // disk full or quota exhausted
    NichtGeoeffnet = 103,         // a read or write on a file that is not open
    UngueltigeZahl = 106,         // a field that is no number, or beyond the extended range
    KeineGewoehnlicheDatei = 150, // a device, a pipe or a socket
    KeineTextdatei = 151,         // UTF-16, UTF-32 or binary data
    DateiVerkuerzt = 152,         // the file became shorter while it was read
    // Not an I/O error: a number beyond the range of a double, raised as an arithmetic overflow.
    GleitkommaUeberlauf = -1,
};

}  // namespace zentrix::ea
