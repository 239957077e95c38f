// The pictures of the mail list: the one place that turns the model's image
// indices into icons, for the cells and the icon columns' headers alike.
#pragma once

#include <QIcon>

namespace velmora {

// The icon for a MailListModel::Image; a null icon for -1 or an unknown index.
QIcon MailImage(int index);

}  // namespace velmora
