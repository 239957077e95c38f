#include "viewer/panes/mail_list/mail_image_proxy.h"

#include "viewer/panes/mail_list/mail_images.h"
#include "viewer/panes/mail_list/mail_list_model.h"

namespace velmora {
namespace {

// No index, or -1, draws nothing (an invalid value would read as image 0).
QVariant IconFor(const QVariant& image) {
    const QIcon icon = image.isValid() ? MailImage(image.toInt()) : QIcon();
    return icon.isNull() ? QVariant() : QVariant(icon);
}

}  // namespace

QVariant MailImageProxy::data(const QModelIndex& index, int role) const {
    if (role != Qt::DecorationRole) return QIdentityProxyModel::data(index, role);
    return IconFor(QIdentityProxyModel::data(index, MailListModel::kImageIndexRole));
}

QVariant MailImageProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DecorationRole)
        return QIdentityProxyModel::headerData(section, orientation, role);
    return IconFor(
        QIdentityProxyModel::headerData(section, orientation, MailListModel::kImageIndexRole));
}

}  // namespace velmora
