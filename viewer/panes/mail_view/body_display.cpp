#include "viewer/panes/mail_view/body_display.h"

#include <QFile>
#include <QStackedLayout>
#include <QTextEdit>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "viewer/panes/mail_view/locked_page.h"
#include "viewer/panes/mail_view/page_request_filter.h"

namespace velmora {

BodyDisplay::BodyDisplay(QWidget* parent) : QWidget(parent), stack_(new QStackedLayout(this)) {
    setObjectName("MailBody");
    setAccessibleName(tr("Message body"));
    auto* empty = new QTextEdit(this);
    empty->setObjectName("EmptyBody");
    empty->setReadOnly(true);
    stack_->addWidget(empty);
}

BodyDisplay::~BodyDisplay() {
    // The page must go before the profile it was made with.
    delete view_;
    delete page_;
    if (!shownFile_.isEmpty()) QFile::remove(shownFile_);
    if (!pendingFile_.isEmpty() && pendingFile_ != shownFile_) QFile::remove(pendingFile_);
}

void BodyDisplay::EnsureView() {
    if (view_ != nullptr) return;
    // No storage name: nothing a message leaves behind outlives the program.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    filter_ = new PageRequestFilter(profile_);
    profile_->setUrlRequestInterceptor(filter_);
    page_ = new LockedPage(profile_);
    view_ = new QWebEngineView(this);
    view_->setObjectName("MailBodyView");
    view_->setAccessibleName(tr("Message body"));
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->setPage(page_);
    connect(page_, &QWebEnginePage::loadingChanged, this, &BodyDisplay::OnLoadingChanged);
    connect(page_, &LockedPage::LinkRefused, this, &BodyDisplay::LinkRefused);
    stack_->addWidget(view_);
    stack_->setCurrentWidget(view_);
}

void BodyDisplay::Expect(const QString& file) {
    // A page still loading is never shown: its file goes now.
    if (loading_ && !pendingFile_.isEmpty() && pendingFile_ != shownFile_)
        QFile::remove(pendingFile_);
    pendingFile_ = file;
    loading_ = true;
}

void BodyDisplay::ShowFile(const QString& path) {
    EnsureView();
    Expect(path);
    const QUrl url = QUrl::fromLocalFile(path);
    filter_->AllowPage(url);
    page_->LoadOwn(url);
}

void BodyDisplay::ShowBlank() {
    if (view_ == nullptr) return;  // the empty box is already blank
    Expect({});
    filter_->AllowPage({});
    page_->ShowBlank();
}

bool BodyDisplay::IsPending(const QUrl& url) const {
    // A blank page is loaded as a data: address.
    if (pendingFile_.isEmpty()) return url.scheme() == QLatin1String("data");
    return url == QUrl::fromLocalFile(pendingFile_);
}

void BodyDisplay::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    // A load cut short by the next one ends too; only the newest one counts.
    if (!loading_ || info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    if (!IsPending(info.url())) return;
    loading_ = false;
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    if (!shownFile_.isEmpty() && shownFile_ != pendingFile_) QFile::remove(shownFile_);
    shownFile_ = pendingFile_;
    emit PageShown(ok);
}

}  // namespace velmora
