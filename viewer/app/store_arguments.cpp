#include "viewer/app/store_arguments.h"

#include "common/path_text.h"

namespace velmora::app {

QStringList StoreArguments(const QStringList& positional, int argc, const char* const* argv) {
    QStringList stores;
    int next = 1;
    for (const QString& shown : positional) {
        // The arguments the framework kept are argv's in order; options in
        // between are passed over.
        while (next < argc && QString::fromLocal8Bit(argv[next]) != shown) ++next;
        if (next >= argc) {
            stores << shown;
            continue;
        }
        stores << QString::fromStdU16String(common::PathBytesToUtf16(argv[next++]));
    }
    return stores;
}

}  // namespace velmora::app
