#include "viewer/panes/message_properties/property_table_model.h"

#include <QStringList>

namespace velmora {

PropertyTableModel::PropertyTableModel(MessageProperties properties, QObject* parent)
    : QAbstractTableModel(parent), properties_(std::move(properties)) {
    // The lines stay where they are from here on, so the rows may point at them.
    AddRows(Owner::kMessage, 0, properties_.message);
    for (std::size_t i = 0; i < properties_.recipients.size(); ++i)
        AddRows(Owner::kRecipient, static_cast<int>(i), properties_.recipients[i]);
    for (std::size_t i = 0; i < properties_.attachments.size(); ++i)
        AddRows(Owner::kAttachment, static_cast<int>(i), properties_.attachments[i]);
}

void PropertyTableModel::AddRows(Owner owner, int ownerIndex, const PropertyLines& lines) {
    for (const PropertyLine& line : lines) rows_.push_back({owner, ownerIndex, &line});
}

int PropertyTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PropertyTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString PropertyTableModel::OwnerText(const Row& row) const {
    switch (row.owner) {
        case Owner::kMessage:
            return tr("Message");
        case Owner::kRecipient:
            return tr("Recipient %1").arg(row.ownerIndex + 1);
        case Owner::kAttachment:
            return tr("Attachment %1").arg(row.ownerIndex + 1);
    }
    return {};
}

QVariant PropertyTableModel::Cell(const Row& row, int column) const {
    const PropertyLine& line = *row.line;
    switch (column) {
        case kObject:
            return OwnerText(row);
        case kTag:
            return QString::fromStdU16String(line.tag);
        case kName:
            return QString::fromStdU16String(line.name);
        case kType:
            return QString::fromStdU16String(line.typeName);
        case kSize:
            return QString::number(line.size);
        case kValue:
            return QString::fromStdU16String(OneLine(line.value));
        default:
            return {};
    }
}

QVariant PropertyTableModel::SortKey(const Row& row, int column) const {
    switch (column) {
        case kObject:  // the message first, then recipients, then attachments, each in order
            return (static_cast<qlonglong>(row.owner) << 32) | row.ownerIndex;
        case kTag:
            return (static_cast<uint>(row.line->id) << 16) | row.line->type;
        case kSize:
            return static_cast<qulonglong>(row.line->size);
        default:
            return Cell(row, column).toString().toCaseFolded();
    }
}

QVariant PropertyTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Cell(row, index.column());
        case kSortRole:
            return SortKey(row, index.column());
        case Qt::ToolTipRole:
            if (index.column() == kValue && row.line->shortened)
                return tr("Shortened: double-click the row to see the whole value");
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kSize)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant PropertyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {QT_TR_NOOP("Object"), QT_TR_NOOP("Tag"),
                                                      QT_TR_NOOP("Name"),   QT_TR_NOOP("Type"),
                                                      QT_TR_NOOP("Size"),   QT_TR_NOOP("Value")};
    return section >= 0 && section < kColumnCount ? tr(kTitles[section]) : QVariant();
}

QString PropertyTableModel::RowText(int row) const {
    QStringList cells;
    for (int column = 0; column < kColumnCount; ++column)
        cells << data(index(row, column), Qt::DisplayRole).toString();
    return cells.join(u'\t');
}

}  // namespace velmora
