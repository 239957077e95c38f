// Whether the desktop might run a file rather than show it: programs,
// libraries, scripts, launchers, installers and archives of programs. The
// sender chooses both the name and the bytes, so both are judged: the type
// the name gives and the type the content shows, with everything they
// derive from. The list errs on the side of asking.
#pragma once

#include <QString>

namespace velmora {

// True when the file at `path` (already written) may run as a program.
bool MayRunAsProgram(const QString& path);

}  // namespace velmora
