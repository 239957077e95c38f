// The picture of an attachment in the strip: the desktop's icon for its file
// type, found from the extension alone (the data is never looked at for
// this, and nothing touches the disk). An attachment without an extension is
// shown as a text file; an attached message as a mail.
#pragma once

#include <QIcon>
#include <QString>

#include "engine/interface/corvex_engine.h"

namespace velmora {

struct AttachmentIcon {
    QString mimeType;  // the type the extension names
    QString iconName;  // the desktop theme's name for it; empty: the generic file icon
};

AttachmentIcon AttachmentIconOf(const AttachmentRow* attachment);

// The theme's icon of that name, else the theme's generic icon of the type,
// else the style's generic file icon.
QIcon IconImage(const AttachmentIcon& icon);

}  // namespace velmora
