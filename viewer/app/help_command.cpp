#include "viewer/app/help_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velmora::app {

QString UserGuidePath(const QString& programFolder) {
    const QString beside = programFolder + QStringLiteral("/docs/user-guide.html");
    if (QFileInfo(beside).isFile()) return beside;
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/doc/velmora/user-guide.html"));
}

QString UserGuidePath() {
    return UserGuidePath(QCoreApplication::applicationDirPath());
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
