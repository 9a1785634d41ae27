#pragma once

namespace vima {

// Opens /dev/null on any of descriptors 0-2 the process was started without
// (`tavelon 2>&-`), as daemons do. Otherwise the next file or socket opened
// takes its number: the X connection would get the log lines, and programs
// started from a ring would inherit the gap and print into their first file.
void openClosedStandardDescriptors();

} // namespace vima
