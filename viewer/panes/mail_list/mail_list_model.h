// The rows of the mail list: one per message of the folder last enumerated,
// in the engine's order, read straight from the engine's records whenever the
// view asks. No row is copied, so a folder of 250,000 messages appears at
// once; the records must stay alive until the next Fill or Clear. A search's
// results show the same way, with one more column: the folder of each message.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// A message a search found, and the folder it is in.
struct FoundMail {
    const MailEntry* mail = nullptr;
    QString folder;
};

class MailListModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    // kFolder is there for search results only.
    enum Column {
        kImportance,
        kReadState,
        kAttachment,
        kFrom,
        kSubject,
        kDateTime,
        kFolder,
        kColumnCount
    };

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
    // Shows the messages of `found`, which stays alive until the next Fill or Clear.
    void FillFound(const std::vector<FoundMail>* found);
    void Clear() { Fill(nullptr); }
    bool ShowsFound() const { return found_ != nullptr; }
    const MailEntry* MailAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant CellText(const MailEntry* mail, int column) const;
    QVariant CellImage(const MailEntry* mail, int column) const;
    QVariant CellAccessibleText(const MailEntry* mail, int column) const;
    QVariant FolderText(int row) const;

    const MailList* mails_ = nullptr;
    const std::vector<FoundMail>* found_ = nullptr;
};

}  // namespace velmora
