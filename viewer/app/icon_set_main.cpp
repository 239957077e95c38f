// Writes the program's icon in every installed size as
// OUT/<size>x<size>/apps/velmora.png, the icon theme's layout. Run by the build.
#include <QDir>
#include <cstdio>

#include "viewer/app/app_icon.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-icon-set OUT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const int size : velmora::app::kAppIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder) ||
            !velmora::app::DrawAppIcon(size).save(folder + QStringLiteral("/velmora.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon below %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
