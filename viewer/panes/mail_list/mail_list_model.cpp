#include "viewer/panes/mail_list/mail_list_model.h"

#include "viewer/data/mail_access/record_getters.h"

namespace velmora {
namespace {

QString Text(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A subject is shown from its first character that is not white space; any
// at its end stays.
QString ShownSubject(const MailEntry* mail) {
    const QString subject = Text(MailSubject(mail));
    qsizetype start = 0;
    while (start < subject.size() && subject.at(start).isSpace()) ++start;
    return subject.mid(start);
}

// Low (0, also when missing), high (2), and normal for any other value.
int ImportanceImage(std::int32_t importance) {
    if (importance == 0) return MailListModel::kImageLowImportance;
    if (importance == 2) return MailListModel::kImageHighImportance;
    return MailListModel::kImageNormalImportance;
}

QString ImportanceName(std::int32_t importance) {
    if (importance == 0) return QStringLiteral("Low importance");
    if (importance == 2) return QStringLiteral("High importance");
    return QStringLiteral("Normal importance");
}

}  // namespace

void MailListModel::Fill(const MailList* mails) {
    beginResetModel();
    mails_ = mails;
    found_ = nullptr;
    endResetModel();
}

void MailListModel::FillFound(const std::vector<FoundMail>* found) {
    beginResetModel();
    mails_ = nullptr;
    found_ = found;
    endResetModel();
}

const MailEntry* MailListModel::MailAt(int row) const {
    if (row < 0) return nullptr;
    if (found_ != nullptr)
        return static_cast<std::size_t>(row) < found_->size() ? (*found_)[row].mail : nullptr;
    if (mails_ == nullptr || static_cast<std::uint32_t>(row) >= mails_->entries.count)
        return nullptr;
    return mails_->entries.items[row];
}

int MailListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // A view counts rows in int; a folder beyond that is shown up to it.
    if (found_ != nullptr)
        return static_cast<int>(std::min<std::size_t>(found_->size(), INT32_MAX));
    if (mails_ == nullptr) return 0;
    return static_cast<int>(std::min<std::uint32_t>(mails_->entries.count, INT32_MAX));
}

int MailListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return found_ != nullptr ? kColumnCount : kFolder;
}

QVariant MailListModel::data(const QModelIndex& index, int role) const {
    const MailEntry* mail = index.isValid() ? MailAt(index.row()) : nullptr;
    if (mail == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == kFolder) return FolderText(index.row());
            return CellText(mail, index.column());
        case kImageIndexRole:
            return CellImage(mail, index.column());
        case Qt::AccessibleTextRole:
            if (index.column() == kFolder) return FolderText(index.row());
            return CellAccessibleText(mail, index.column());
        case kMailRole:
            return QVariant::fromValue(reinterpret_cast<quintptr>(mail));
        default:
            return {};
    }
}

QVariant MailListModel::CellText(const MailEntry* mail, int column) const {
    if (column == kFrom) return Text(MailSenderName(mail));
    if (column == kSubject) return ShownSubject(mail);
    if (column == kDateTime) return Text(MailSubmitTime(mail));
    return {};
}

QVariant MailListModel::FolderText(int row) const {
    if (found_ == nullptr || static_cast<std::size_t>(row) >= found_->size()) return {};
    return (*found_)[row].folder;
}

QVariant MailListModel::CellImage(const MailEntry* mail, int column) const {
    if (column == kImportance) return ImportanceImage(MailImportance(mail));
    if (column == kReadState) return MailIsRead(mail) ? kImageRead : kImageUnread;
    if (column == kAttachment) return MailHasAttachments(mail) ? kImageHasAttachments : -1;
    return {};
}

// What a screen reader says for the image columns, which show no text.
QVariant MailListModel::CellAccessibleText(const MailEntry* mail, int column) const {
    if (column == kImportance) return ImportanceName(MailImportance(mail));
    if (column == kReadState)
        return MailIsRead(mail) ? QStringLiteral("Read") : QStringLiteral("Unread");
    if (column == kAttachment)
        return MailHasAttachments(mail) ? QStringLiteral("Has attachments") : QString();
    return CellText(mail, column);
}

QVariant MailListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    static constexpr struct {
        const char* text;  // shown
        const char* name;  // for screen readers
        int image;         // -1: none
    } kHeaders[kColumnCount] = {
        {"", "Importance", kImageImportanceHeader},
        {"", "Read", kImageReadHeader},
        {"", "Attachment", kImageAttachmentHeader},
        {"From", "From", -1},
        {"Subject", "Subject", -1},
        {"Date/Time", "Date/Time", -1},
        {"Folder", "Folder", -1},
    };
    if (section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kHeaders[section].text);
    if (role == Qt::AccessibleTextRole) return QString::fromLatin1(kHeaders[section].name);
    if (role == kImageIndexRole) return kHeaders[section].image;
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

}  // namespace velmora
