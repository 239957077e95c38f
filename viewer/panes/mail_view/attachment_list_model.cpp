#include "viewer/panes/mail_view/attachment_list_model.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_view/attachment_actions.h"
#include "viewer/panes/mail_view/attachment_icons.h"

namespace velmora {

void AttachmentListModel::Fill(const MailEntry* mail) {
    beginResetModel();
    mail_ = mail;
    endResetModel();
}

const AttachmentRow* AttachmentListModel::RowAt(int row) const {
    if (mail_ == nullptr || mail_->attachments == nullptr || row < 0 ||
        static_cast<std::uint32_t>(row) >= mail_->attachments->count)
        return nullptr;
    return mail_->attachments->items[row];
}

int AttachmentListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || mail_ == nullptr || mail_->attachments == nullptr) return 0;
    return static_cast<int>(std::min<std::uint32_t>(mail_->attachments->count, INT32_MAX));
}

QVariant AttachmentListModel::data(const QModelIndex& index, int role) const {
    const AttachmentRow* attachment = index.isValid() ? RowAt(index.row()) : nullptr;
    if (attachment == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdU16String(AttachmentName(attachment, MessageCodePage(mail_)));
        case Qt::DecorationRole:
            return IconImage(AttachmentIconOf(attachment));
        case kMimeTypeRole:
            return AttachmentIconOf(attachment).mimeType;
        case kIconNameRole:
            return AttachmentIconOf(attachment).iconName;
        default:
            return {};
    }
}

Qt::ItemFlags AttachmentListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList AttachmentListModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* AttachmentListModel::mimeData(const QModelIndexList& indexes) const {
    QList<QUrl> copies;
    for (const QModelIndex& index : indexes) {
        const AttachmentRow* attachment = index.isValid() ? RowAt(index.row()) : nullptr;
        if (attachment == nullptr) continue;
        const QString copy = WriteOpenedCopy(attachment, MessageCodePage(mail_), CopyUse::kDragged);
        if (!copy.isEmpty()) copies << QUrl::fromLocalFile(copy);
    }
    if (copies.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setUrls(copies);
    return data;
}

}  // namespace velmora
