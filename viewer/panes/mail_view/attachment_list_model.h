// The items of the attachment strip: one per attachment row of the shown
// message, in stored order, read straight from the engine's records. The
// records must stay alive until the next Fill or Clear. Items dragged away
// leave as files: copies written for the drag, as for opening.
#pragma once

#include <QAbstractListModel>

#include "engine/interface/corvex_engine.h"

namespace velmora {

class AttachmentListModel final : public QAbstractListModel {
    Q_OBJECT

  public:
    // The item's MIME type and the theme icon name its picture was asked by
    // (empty for the generic file icon).
    static constexpr int kMimeTypeRole = Qt::UserRole + 1;
    static constexpr int kIconNameRole = Qt::UserRole + 2;

    using QAbstractListModel::QAbstractListModel;

    // Shows the attachments of `mail`; null shows none.
    void Fill(const MailEntry* mail);
    void Clear() { Fill(nullptr); }
    const MailEntry* Mail() const { return mail_; }
    const AttachmentRow* RowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The file addresses of fresh copies of the items; null when none could be written.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

  private:
    const MailEntry* mail_ = nullptr;
};

}  // namespace velmora
