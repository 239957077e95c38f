#include "viewer/panes/mail_list/list_ctrl_mails.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "viewer/panes/mail_list/mail_image_proxy.h"

namespace velmora {
namespace {

constexpr int kColumnWidths[MailListModel::kColumnCount] = {30, 30, 30, 200, 200, 200, 200};

}  // namespace

CListCtrlMails::CListCtrlMails(QWidget* parent)
    : QTreeView(parent), mails_(new MailListModel(this)), images_(new MailImageProxy(this)) {
    setObjectName("MailListControl");
    setAccessibleName(tr("Mail list"));
    images_->setSourceModel(mails_);
    setModel(images_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Rows of one height let a folder of any size lay out at once.
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    // The rows keep the store's order: a header click changes nothing.
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    for (int column = 0; column < MailListModel::kFolder; ++column)
        setColumnWidth(column, kColumnWidths[column]);
    // Only a row that becomes selected shows a message: Ctrl+click on the
    // selected row leaves the message on screen.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty()) emit MailSelected(SelectedMail());
            });
}

void CListCtrlMails::Fill(const MailList* mails) {
    // A model reset drops the selection without a selection signal.
    const bool hadSelection = SelectedMail() != nullptr;
    mails_->Fill(mails);
    if (hadSelection) emit MailSelected(nullptr);
}

void CListCtrlMails::FillFound(const std::vector<FoundMail>* found) {
    const bool hadSelection = SelectedMail() != nullptr;
    mails_->FillFound(found);
    setColumnWidth(MailListModel::kFolder, kColumnWidths[MailListModel::kFolder]);
    if (hadSelection) emit MailSelected(nullptr);
}

void CListCtrlMails::SelectRow(int row) {
    if (row < 0 || row >= mails_->rowCount()) return;
    const QModelIndex index = images_->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void CListCtrlMails::keyPressEvent(QKeyEvent* event) {
    // The selection signal is emitted within the base handler, so whoever
    // hears it can ask whether a repeat moved it.
    keyRepeating_ = event->isAutoRepeat();
    QTreeView::keyPressEvent(event);
    keyRepeating_ = false;
}

const MailEntry* CListCtrlMails::SelectedMail() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : mails_->MailAt(rows.first().row());
}

}  // namespace velmora
