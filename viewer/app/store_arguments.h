// The stores named on the command line. The framework decodes the program's
// arguments lossily, so a file name that is no UTF-8 (Latin-1 names on old
// disks) would no longer name its file; each store is taken from the
// argument's own bytes instead, carried as path_text.h carries them.
#pragma once

#include <QStringList>

namespace velmora::app {

// `positional` (the framework's decoding of some of `argv`, in order) with
// each entry replaced by the path its argument's bytes name.
QStringList StoreArguments(const QStringList& positional, int argc, const char* const* argv);

}  // namespace velmora::app
