// Where the viewer keeps its settings: the per-user profile under the
// application's name, which is also its window title.
#pragma once

namespace velmora::app {

inline constexpr char kApplicationName[] = "Tessmora PST Viewer";
inline constexpr char kSettingsOrganization[] = "Tessmora PST Viewer";
inline constexpr char kSettingsApplication[] = "Tessmora PST Viewer";

inline constexpr char kApplicationLookKey[] = "ApplicationLook";
inline constexpr char kGeometryKey[] = "MainFrame/Geometry";
inline constexpr char kDockStateKey[] = "MainFrame/DockState";

}  // namespace velmora::app
