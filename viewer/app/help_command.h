// The Help command: the user guide shipped beside the program, opened with
// the desktop's default handler.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace velmora::app {

using UrlOpener = std::function<bool(const QUrl&)>;

// docs/user-guide.html in the program's folder (a build tree), else the
// installed share/doc/velmora/user-guide.html beside the program's bin/.
QString UserGuidePath(const QString& programFolder);
QString UserGuidePath();

// Opens the guide; empty text on success, otherwise what went wrong, for the user.
QString OpenUserGuide(const QString& guidePath, const UrlOpener& open);

}  // namespace velmora::app
