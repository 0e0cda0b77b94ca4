// Conversion of the observation file "test2.beb" into the coordinate file "test2.Kor".
#pragma once

#include <cstddef>
#include <string>

namespace zentrix {

// Reads <directory>/test2.beb (records "Nr Ri Zd S R": gon, gon, metres, metres) and writes
// <directory>/test2.Kor with one line "%5d %12.3f %12.3f %12.3f %10.3f" (Nr, X, Y, Z, R) per
// record, the station at (100, 100, 100). Returns the number of records written. Raises
// EInOutError on failure: an existing test2.Kor then stays as it was; where there was none, the
// lines converted before the failure are written.
std::size_t Konvert(const std::string& directory);

}  // namespace zentrix
