#include "viewer/panes/mail_view/body_display.h"

#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QStackedLayout>
#include <QTextEdit>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "viewer/panes/mail_view/body_menu.h"
#include "viewer/panes/mail_view/locked_page.h"
#include "viewer/panes/mail_view/page_request_filter.h"

namespace velmora {
namespace {

// The text of a clicked link is the program's question to the page, asked in
// a world of its own: the page's scripts never run, and cannot see or answer it.
// A link clicked with the mouse or the keyboard holds the focus.
constexpr char kFocusedLinkQuery[] = R"(
(function () {
    var element = document.activeElement;
    var link = element && element.closest ? element.closest('a[href], area[href]') : null;
    return link ? [link.href, link.innerText || link.textContent || link.alt || ''] : null;
})())";

// Enough of a link's text to see the host it names.
constexpr qsizetype kMaxLinkText = 2000;

}  // namespace

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
    // The engine's own popup offers navigation and page tools; the body has its own.
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setPage(page_);
    connect(view_, &QWidget::customContextMenuRequested, this, &BodyDisplay::ShowMenu);
    connect(page_, &QWebEnginePage::loadingChanged, this, &BodyDisplay::OnLoadingChanged);
    connect(page_, &LockedPage::LinkRefused, this, &BodyDisplay::OnLinkClicked);
    stack_->addWidget(view_);
}

void BodyDisplay::StartBrowser() {
    EnsureView();
}

void BodyDisplay::Expect(const QString& file) {
    // A page still loading is never shown: its file goes now.
    if (loading_ && !pendingFile_.isEmpty() && pendingFile_ != shownFile_)
        QFile::remove(pendingFile_);
    pendingFile_ = file;
    loading_ = true;
}

void BodyDisplay::ShowFile(const QString& path, PageScratch scratch) {
    EnsureView();
    stack_->setCurrentWidget(view_);
    Expect(path);
    scratch_ = std::move(scratch);
    const QUrl url = QUrl::fromLocalFile(path);
    filter_->AllowPage(url);
    page_->LoadOwn(url);
    // The browser starts the load on its own turn of the event loop.
    scratch_.RemoveBeside();
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
    scratch_.Wait();
    const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
    if (!shownFile_.isEmpty() && shownFile_ != pendingFile_) QFile::remove(shownFile_);
    shownFile_ = pendingFile_;
    emit PageShown(ok);
}

void BodyDisplay::ShowMenu(const QPoint& position) {
    const QWebEngineContextMenuRequest* request = view_->lastContextMenuRequest();
    if (request == nullptr) return;
    NewBodyMenu(page_, request->selectedText(), request->linkUrl(), this)
        ->popup(view_->mapToGlobal(position));
}

void BodyDisplay::OnLinkClicked(const QUrl& url) {
    // Asked once the navigation has been refused, never inside it.
    const QPointer<BodyDisplay> self(this);
    page_->runJavaScript(QString::fromLatin1(kFocusedLinkQuery), QWebEngineScript::ApplicationWorld,
                         [self, url](const QVariant& found) {
                             if (self.isNull()) return;
                             const QVariantList link = found.toList();
                             QString text;
                             // The focused link's text counts only when it is the clicked link's.
                             if (link.size() == 2 && QUrl(link[0].toString()) == url)
                                 text = link[1].toString().left(kMaxLinkText);
                             emit self->LinkOffered(url, text);
                             OfferLink(url, text, self->linkDesktop_, self);
                         });
}

}  // namespace velmora
