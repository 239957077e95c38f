// The rows of the mail list: one per message of the folder last enumerated,
// in the engine's order, read straight from the engine's records whenever the
// view asks. No row is copied, so a folder of 250,000 messages appears at
// once; the records must stay alive until the next Fill or Clear.
#pragma once

#include <QAbstractTableModel>

#include "engine/interface/corvex_engine.h"

namespace velmora {

class MailListModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kImportance, kReadState, kAttachment, kFrom, kSubject, kDateTime, kColumnCount };

    // The index into the list's images of what a cell or header shows; -1 for none.
    static constexpr int kImageIndexRole = Qt::UserRole + 1;
    // The row's MailEntry pointer, as a quintptr.
    static constexpr int kMailRole = Qt::UserRole + 2;

    // The images, in the order of the list's image set.
    enum Image {
        kImageRead,
        kImageUnread,
        kImageHasAttachments,
        kImageNormalImportance,
        kImageReadHeader,
        kImageLowImportance,
        kImageHighImportance,
        kImageAttachmentHeader,
        kImageImportanceHeader,
        kImageCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Shows the messages of `mails`; null shows none.
    void Fill(const MailList* mails);
    void Clear() { Fill(nullptr); }
    const MailEntry* MailAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant CellText(const MailEntry* mail, int column) const;
    QVariant CellImage(const MailEntry* mail, int column) const;
    QVariant CellAccessibleText(const MailEntry* mail, int column) const;

    const MailList* mails_ = nullptr;
};

}  // namespace velmora
