// Where the program's own file lies, which its companions and the alarm file lie beside.
#pragma once

#include <QString>

namespace ProgramFile {

// The executable's real file, also when the program was started through a link such as
// bin/trillora; empty when it cannot be told.
QString realPath();

} // namespace ProgramFile
