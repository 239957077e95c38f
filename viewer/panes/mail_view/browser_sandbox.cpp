#include "viewer/panes/mail_view/browser_sandbox.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "viewer/panes/mail_view/browser_rendering.h"

namespace velmora {
namespace {

bool RunsAsRoot() {
#ifdef _WIN32
    return false;
#else
    return ::getuid() == 0 || ::geteuid() == 0;
#endif
}

}  // namespace

bool PrepareBodyBrowserStart() {
    ChooseBodyBrowserRendering();
    if (!RunsAsRoot()) return false;
    // The engine reads this once, when the first browser view is made.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", QByteArray("1"));
    std::fprintf(stderr,
                 "Velmora: running as root; the message view's browser starts without its "
                 "sandbox (scripts stay off and nothing remote is loaded).\n");
    return true;
}

}  // namespace velmora
