// SPDX-License-Identifier: GPL-3.0-or-later
// How the programs take memory from the system for large files.
#pragma once

namespace zentrix {

// Called first thing in main. Buffers of 4 MB and more (a file's text, a million points, the
// report of a scan) come straight from the system and go straight back to it when freed, so that
// the peak memory follows the work at hand; and they are backed by huge pages (2 MB) where the
// system allows it, since on a machine with a paravirtualised memory manager the first write to
// each fresh 4 KB page of a million-point buffer is a fault that costs more than parsing the line.
// Linking this unit also puts operator new in the program's hands (not in a sanitizer build,
// whose own operator new checks every delete).
void SpeicherEinrichten();

// Gives the memory freed by every thread back to the system (the C library keeps freed small
// buffers of each thread for the next ones): for a long computation after a stage whose many small
// buffers are gone, so that the next stage does not add its own on top of them.
void FreienSpeicherZurueckgeben();

}  // namespace zentrix
