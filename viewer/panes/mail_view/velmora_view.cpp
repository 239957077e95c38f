#include "viewer/panes/mail_view/velmora_view.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>

#include "viewer/data/rebuild/message_page.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/edit_popup.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/viewer_fonts.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"
#include "viewer/panes/message_properties/message_properties_dialog.h"

namespace velmora {
namespace {

constexpr int kEdge = 5;
constexpr int kStripTop = kEdge + CWndMailHeader::kHeight;  // 69
constexpr int kStripLabelWidth = 90;
constexpr int kStripHeight = 37;

}  // namespace

CVelmoraView::CVelmoraView(QWidget* parent)
    : QWidget(parent),
      header_(new CWndMailHeader(this)),
      attachmentsLabel_(new QLabel(tr("Attachments: "), this)),
      attachments_(new CListCtrlAttach(this)),
      body_(new BodyDisplay(this)) {
    setObjectName("MailView");
    setAccessibleName(tr("Message"));
    // White around the header, the strip and the body, as under the labels.
    FillWhite(*this);
    attachmentsLabel_->setObjectName("AttachmentsLabel");
    StyleViewerLabel(*attachmentsLabel_);
    attachments_->setObjectName("AttachmentList");
    attachments_->setAccessibleName(tr("Attachments"));
    SetAttachmentsShown(false);
}

void CVelmoraView::SetAttachmentsShown(bool shown) {
    attachments_->setVisible(shown);
    Relayout();
}

void CVelmoraView::ShowMail(const MailEntry* mail) {
    shownMail_ = mail;
    header_->ShowMail(mail);
    attachments_->Fill(mail);
    SetAttachmentsShown(attachments_->Rows().rowCount() > 0);
}

bool CVelmoraView::ShowBody(const MailEntry* mail) {
    const std::u16string page = NewScratchPath() + u".mht";
    PageScratch scratch;
    if (mail == nullptr || !RenderMessagePage(mail, page, scratch)) {
        body_->ShowBlank();
        return false;
    }
    body_->ShowFile(QString::fromStdU16String(page), std::move(scratch));
    return true;
}

void CVelmoraView::resizeEvent(QResizeEvent*) {
    Relayout();
}

void CVelmoraView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = PopUpEditMenu(this, event->globalPos());
    if (shownMail_ == nullptr) return;
    menu->addSeparator();
    QAction* properties = menu->addAction(tr("Message &Properties..."), this,
                                          [this] { ShowMessageProperties(this, shownMail_); });
    properties->setObjectName("MessagePropertiesPopup");
}

void CVelmoraView::Relayout() {
    const int w = width();
    const bool strip = !attachments_->isHidden();
    attachmentsLabel_->setVisible(strip);
    header_->setGeometry(kEdge, kEdge, w - 2 * kEdge, CWndMailHeader::kHeight);
    attachmentsLabel_->setGeometry(kEdge + 1, kStripTop, kStripLabelWidth, 20);
    attachments_->setGeometry(kEdge + 1 + kStripLabelWidth + 1, kStripTop, w - 102, kStripHeight);
    const int top = (strip ? kStripTop + kStripHeight : kStripTop) + 1;
    body_->setGeometry(kEdge, top, w - 2 * kEdge, height() - top - kEdge);
}

}  // namespace velmora
