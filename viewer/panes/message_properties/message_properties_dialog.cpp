#include "viewer/panes/message_properties/message_properties_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/message_properties/property_table_model.h"
#include "viewer/panes/message_properties/property_value_dialog.h"

namespace velmora {
namespace {

// The value column takes what the others leave of the dialog's width.
constexpr int kColumnWidths[PropertyTableModel::kColumnCount] = {100, 90, 230, 110, 70, 300};

QString DialogTitle(const MailEntry* mail) {
    const QString subject = QString::fromStdU16String(MailSubject(mail)).trimmed();
    return QObject::tr("Message Properties - %1")
        .arg(subject.isEmpty() ? QObject::tr("(no subject)") : subject);
}

QTableView* NewTable(QAbstractItemModel* model, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName("PropertyTable");
    table->setAccessibleName(QObject::tr("Properties"));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    // The store's order until the user picks a column.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    for (int column = 0; column < PropertyTableModel::kColumnCount; ++column)
        table->setColumnWidth(column, kColumnWidths[column]);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

}  // namespace

CMessagePropertiesDlg::CMessagePropertiesDlg(const MailEntry* mail, QWidget* parent)
    : QDialog(parent),
      rows_(new PropertyTableModel(ListMessageProperties(mail), this)),
      shown_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)),
      count_(new QLabel(this)) {
    setObjectName("MessageProperties");
    setWindowTitle(DialogTitle(mail));
    setAccessibleName(windowTitle());
    shown_->setSourceModel(rows_);
    shown_->setSortRole(PropertyTableModel::kSortRole);
    shown_->setFilterKeyColumn(-1);  // a row shows when any of its cells holds the text
    shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table_ = NewTable(shown_, this);
    table_->installEventFilter(this);

    filter_->setObjectName("PropertyFilter");
    filter_->setAccessibleName(tr("Filter"));
    filter_->setPlaceholderText(tr("Show only rows containing this text"));
    filter_->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(tr("&Filter:"), this);
    filterLabel->setBuddy(filter_);
    count_->setObjectName("PropertyCount");
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        shown_->setFilterFixedString(text);
        UpdateCount();
    });
    connect(table_, &QTableView::doubleClicked, this, [this] { ShowFullValue(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* full = buttons->addButton(tr("Whole &Value..."), QDialogButtonBox::ActionRole);
    full->setObjectName("WholeValue");
    connect(full, &QPushButton::clicked, this, &CMessagePropertiesDlg::ShowFullValue);
    QPushButton* copy = buttons->addButton(tr("&Copy Rows"), QDialogButtonBox::ActionRole);
    copy->setObjectName("CopyRows");
    connect(copy, &QPushButton::clicked, this, &CMessagePropertiesDlg::CopySelectedRows);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(table_);
    layout->addWidget(count_);
    layout->addWidget(buttons);
    UpdateCount();
    resize(1000, 600);
}

void CMessagePropertiesDlg::UpdateCount() {
    count_->setText(tr("%1 of %2 properties").arg(shown_->rowCount()).arg(rows_->rowCount()));
    count_->setAccessibleName(count_->text());
}

void CMessagePropertiesDlg::CopySelectedRows() {
    QModelIndexList selected = table_->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& index : selected)
        text += rows_->RowText(shown_->mapToSource(index).row()) + u'\n';
    QGuiApplication::clipboard()->setText(text);
}

void CMessagePropertiesDlg::ShowFullValue() {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) return;
    const int row = shown_->mapToSource(current).row();
    auto* value = new CPropertyValueDlg(rows_->LineAt(row), rows_->CodePage(), this);
    value->setAttribute(Qt::WA_DeleteOnClose);
    value->setWindowModality(Qt::WindowModal);
    value->show();
}

// Ctrl+C in the table copies whole rows, not the one cell the table would.
bool CMessagePropertiesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

CMessagePropertiesDlg* ShowMessageProperties(QWidget* parent, const MailEntry* mail) {
    if (mail == nullptr) return nullptr;
    auto* dialog = new CMessagePropertiesDlg(mail, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

}  // namespace velmora
