// The application looks the View menu offers: each id names a widget style
// and a palette tint. The chosen id is kept in the profile across restarts.
#pragma once

#include <QColor>
#include <QString>
#include <span>

namespace velmora::app {

struct ApplicationLook {
    int id;
    const char* menuText;
    // Shown in the "Office 200&7" submenu rather than the look menu itself.
    bool inOffice2007Menu;
    const char* styleName;  // a QStyleFactory key; "Fusion" when the style is not there
    QColor window;          // the palette's base; invalid for the style's own palette
};

inline constexpr int kDefaultLookId = 215;

std::span<const ApplicationLook> ApplicationLooks();
// The look of `id`, or the default look for an id the table does not hold.
const ApplicationLook& LookForId(int id);
// Installs the look's style and palette on the whole application.
void ApplyLook(const ApplicationLook& look);
// The style the look ends up with, as QStyle::name() reports it.
QString EffectiveStyleName(const ApplicationLook& look);

}  // namespace velmora::app
