// How the message body's browser starts. Its engine runs each page in a
// sandbox that it refuses to set up for the root user, and then ends the
// whole program when the first message is shown. Run as root (containers,
// rescue systems), the browser is started without that sandbox, which the
// engine allows when told before it starts; the view's own lock-down stays:
// no script runs and nothing remote is loaded.
#pragma once

namespace velmora {

// Call before the application object is made. Chooses how the browser draws
// (browser_rendering.h); run as root, also tells the browser
// engine to start without its sandbox and writes a line saying so to the
// standard error; returns whether it did.
bool PrepareBodyBrowserStart();

}  // namespace velmora
