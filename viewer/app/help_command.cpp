#include "viewer/app/help_command.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace velmora::app {

QString UserGuidePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/docs/user-guide.html");
}

QString OpenUserGuide(const QString& guidePath, const UrlOpener& open) {
    if (!QFileInfo(guidePath).isFile())
        return QCoreApplication::translate("Help", "The user guide %1 is missing.").arg(guidePath);
    if (!open(QUrl::fromLocalFile(guidePath)))
        return QCoreApplication::translate("Help", "No program could open the user guide %1.")
            .arg(guidePath);
    return {};
}

}  // namespace velmora::app
