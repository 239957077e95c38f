// Shows the mail list model's image indices as the pictures a view draws:
// the model stays free of widgets, the view needs no delegate.
#pragma once

#include <QIdentityProxyModel>

namespace velmora {

class MailImageProxy final : public QIdentityProxyModel {
    Q_OBJECT

  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

}  // namespace velmora
