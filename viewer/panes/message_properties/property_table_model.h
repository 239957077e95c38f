// The properties view's rows: one per property of a message, of its recipient
// rows and of its attachments, read from the listed lines in place. Sorting
// and filtering are left to a proxy model in front of it.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "viewer/data/message_properties/message_properties.h"

namespace velmora {

class PropertyTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kObject, kTag, kName, kType, kSize, kValue, kColumnCount };
    // What a column sorts by: numbers for the object, tag and size, else the text.
    static constexpr int kSortRole = Qt::UserRole + 1;

    explicit PropertyTableModel(MessageProperties properties, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const PropertyLine& LineAt(int row) const { return *rows_[static_cast<std::size_t>(row)].line; }
    // The row's cells as shown, joined with tabs.
    QString RowText(int row) const;
    std::uint32_t CodePage() const { return properties_.codePage; }

  private:
    enum class Owner { kMessage, kRecipient, kAttachment };
    struct Row {
        Owner owner;
        int ownerIndex;  // from 0 among the recipients or attachments
        const PropertyLine* line;
    };
    void AddRows(Owner owner, int ownerIndex, const PropertyLines& lines);
    QString OwnerText(const Row& row) const;
    QVariant Cell(const Row& row, int column) const;
    QVariant SortKey(const Row& row, int column) const;

    MessageProperties properties_;
    std::vector<Row> rows_;
};

}  // namespace velmora
