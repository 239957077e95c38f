#include "viewer/panes/mail_view/wnd_mail_header.h"

#include <QLabel>
#include <QLineEdit>

#include "viewer/data/mail_access/recipient_lines.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_view/viewer_fonts.h"

namespace velmora {
namespace {

constexpr int kRowHeight = 20;
constexpr int kMargin = 1;
constexpr int kGap = 1;
constexpr int kLabelWidth = 90;
constexpr int kFieldLeft = kMargin + kLabelWidth + kGap;

int RowTop(int row) {
    return kMargin + row * (kRowHeight + kGap);
}

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

std::u16string SenderLine(const MailEntry* mail) {
    return AddressedName(MailSenderName(mail), MailSenderAddress(mail));
}

CWndMailHeader::CWndMailHeader(QWidget* parent)
    : QWidget(parent),
      subjectLabel_(NewLabel(tr("Subject:"), "SubjectLabel")),
      fromLabel_(NewLabel(tr("From:"), "FromLabel")),
      toLabel_(NewLabel(tr("To:"), "ToLabel")),
      subject_(NewField(tr("Subject"), "SubjectField")),
      date_(NewField(tr("Date/Time"), "DateField")),
      sender_(NewField(tr("From"), "SenderField")),
      to_(NewField(tr("To"), "ToField")) {
    setObjectName("MailHeader");
    setAccessibleName(tr("Message header"));
    FillWhite(*this);
}

QLabel* CWndMailHeader::NewLabel(const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    StyleViewerLabel(*label);
    return label;
}

QLineEdit* CWndMailHeader::NewField(const QString& accessibleName, const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setFont(ViewerValueFont());
    return field;
}

void CWndMailHeader::ShowMail(const MailEntry* mail) {
    subject_->setText(mail ? Text(MailSubject(mail)) : QString());
    date_->setText(mail ? Text(MailSubmitTime(mail)) : QString());
    to_->setText(mail ? Text(RecipientLines(mail).to) : QString());
    sender_->setText(mail ? Text(SenderLine(mail)) : QString());
    // Long values show from their start, not from where the text ended.
    for (QLineEdit* field : {subject_, date_, to_, sender_}) field->setCursorPosition(0);
}

void CWndMailHeader::resizeEvent(QResizeEvent*) {
    const int w = width();
    subjectLabel_->setGeometry(kMargin, RowTop(0), kLabelWidth, kRowHeight);
    subject_->setGeometry(kFieldLeft, RowTop(0), w - 314, kRowHeight);
    date_->setGeometry(w - kDateWidth - kMargin, RowTop(0), kDateWidth, kRowHeight);
    fromLabel_->setGeometry(kMargin, RowTop(1), kLabelWidth, kRowHeight);
    sender_->setGeometry(kFieldLeft, RowTop(1), w - kFieldLeft - kMargin, kRowHeight);
    toLabel_->setGeometry(kMargin, RowTop(2), kLabelWidth, kRowHeight);
    to_->setGeometry(kFieldLeft, RowTop(2), w - kFieldLeft - kMargin, kRowHeight);
}

}  // namespace velmora
