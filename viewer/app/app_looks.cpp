#include "viewer/app/app_looks.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <array>

namespace velmora::app {
namespace {

const std::array<ApplicationLook, 10> kLooks = {{
    {205, "Windows &2000", false, "Windows", QColor()},
    {206, "Office &XP", false, "Fusion", QColor(0xf0, 0xf0, 0xf0)},
    {207, "&Windows XP", false, "Windows", QColor(0xec, 0xe9, 0xd8)},
    {208, "Office 200&3", false, "Fusion", QColor(0xc4, 0xda, 0xfa)},
    {209, "Visual Studio 200&5", false, "Fusion", QColor(0xee, 0xed, 0xe5)},
    {210, "Visual Studio 200&8", false, "Fusion", QColor(0xe9, 0xec, 0xee)},
    {215, "&Blue Style", true, "Fusion", QColor(0xbf, 0xdb, 0xff)},
    {216, "B&lack Style", true, "Fusion", QColor(0x53, 0x53, 0x53)},
    {217, "&Silver Style", true, "Fusion", QColor(0xd0, 0xd4, 0xdd)},
    {218, "&Aqua Style", true, "Fusion", QColor(0xc9, 0xe3, 0xe6)},
}};

QString AvailableStyleKey(const ApplicationLook& look) {
    const QString wanted = QString::fromLatin1(look.styleName);
    for (const QString& key : QStyleFactory::keys()) {
        if (key.compare(wanted, Qt::CaseInsensitive) == 0) return key;
    }
    return QStringLiteral("Fusion");
}

}  // namespace

std::span<const ApplicationLook> ApplicationLooks() {
    return kLooks;
}

const ApplicationLook& LookForId(int id) {
    for (const ApplicationLook& look : kLooks) {
        if (look.id == id) return look;
    }
    return LookForId(kDefaultLookId);
}

QString EffectiveStyleName(const ApplicationLook& look) {
    return AvailableStyleKey(look).toLower();
}

void ApplyLook(const ApplicationLook& look) {
    QStyle* style = QStyleFactory::create(AvailableStyleKey(look));
    if (style == nullptr) return;
    QApplication::setStyle(style);
    // The two-colour palette derives light text for a dark window by itself.
    QApplication::setPalette(look.window.isValid() ? QPalette(look.window, look.window)
                                                   : style->standardPalette());
}

}  // namespace velmora::app
