#include "viewer/panes/mail_view/list_ctrl_attach.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>
#include <algorithm>

#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_view/attachment_actions.h"
#include "viewer/panes/mail_view/viewer_fonts.h"

namespace velmora {
namespace {

// Items as wide as their column, so that a long name is shortened to fit
// instead of running under the next item.
class ColumnWideItems final : public QStyledItemDelegate {
  public:
    ColumnWideItems(int width, QObject* parent) : QStyledItemDelegate(parent), width_(width) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {width_, QStyledItemDelegate::sizeHint(option, index).height()};
    }

  private:
    int width_;
};

}  // namespace

CListCtrlAttach::CListCtrlAttach(QWidget* parent)
    : QListView(parent), rows_(new AttachmentListModel(this)) {
    setModel(rows_);
    setFont(ViewerValueFont());
    // List mode: items fill a column top to bottom, then the next column to
    // the right; the strip scrolls sideways, never up and down, and is laid
    // out again whenever its size changes (FitScrollBar).
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    // A long name loses its middle, not its extension.
    setItemDelegate(new ColumnWideItems(kColumnWidth - 4, this));
    setIconSize(QSize(16, 16));
    setTextElideMode(Qt::ElideMiddle);
    // Rows as high as an icon or a line of text, whichever is higher, with a
    // pixel above and below: two fit in the strip, one above its scroll bar.
    setGridSize(QSize(kColumnWidth, std::max(fontMetrics().height(), iconSize().height()) + 2));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setFocusPolicy(Qt::StrongFocus);
    // Double-clicking the empty strip gives no index, and so opens nothing.
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { OpenItem(index.row()); });
}

void CListCtrlAttach::Fill(const MailEntry* mail) {
    rows_->Fill(mail);
    FitScrollBar();
}

void CListCtrlAttach::FitScrollBar() {
    // The view would keep room for a scroll bar that may come, leaving one
    // row where two fit; the bar is there only when the items need it.
    const QSize area = size() - QSize(2 * frameWidth(), 2 * frameWidth());
    const int rows = std::max(1, area.height() / gridSize().height());
    const int columns = (rows_->rowCount() + rows - 1) / rows;
    const bool scrolls = columns * gridSize().width() > area.width();
    setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void CListCtrlAttach::resizeEvent(QResizeEvent* event) {
    FitScrollBar();
    QListView::resizeEvent(event);
}

void CListCtrlAttach::OpenItem(int row) {
    const AttachmentRow* attachment = rows_->RowAt(row);
    if (attachment == nullptr) return;
    if (const MailEntry* message = AttachmentMessage(attachment)) {
        emit MessageOpenRequested(message);
        return;
    }
    OpenAttachmentFile(attachment, MessageCodePage(rows_->Mail()), desktop_, this);
}

void CListCtrlAttach::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        RunCommand(kOpenCommand);
        return;
    }
    QListView::keyPressEvent(event);
}

void CListCtrlAttach::RunCommand(int command) {
    if (command == kOpenCommand) OpenItem(FirstSelectedRow());
}

void CListCtrlAttach::SaveSelectedAs() {
    const AttachmentRow* attachment = rows_->RowAt(FirstSelectedRow());
    if (attachment != nullptr)
        SaveAttachmentAs(attachment, MessageCodePage(rows_->Mail()), desktop_, this);
}

void CListCtrlAttach::SaveAll() {
    SaveAllAttachments(rows_->Mail(), desktop_, this);
}

int CListCtrlAttach::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
}

void CListCtrlAttach::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex under = indexAt(event->pos());
    if (under.isValid() && !selectionModel()->isSelected(under))
        selectionModel()->select(under, QItemSelectionModel::ClearAndSelect);
    const bool selected = FirstSelectedRow() >= 0;
    QMenu menu(this);
    menu.addAction(tr("Open"), this, [this] { RunCommand(kOpenCommand); })->setEnabled(selected);
    menu.addAction(tr("Save As…"), this, &CListCtrlAttach::SaveSelectedAs)->setEnabled(selected);
    menu.addAction(tr("Save All Attachments…"), this, &CListCtrlAttach::SaveAll)
        ->setEnabled(rows_->rowCount() > 0);
    menu.exec(event->globalPos());
}

}  // namespace velmora
