#include "viewer/panes/mail_view/locked_page.h"

#include <QWebEngineSettings>

namespace velmora {

void LockDown(QWebEngineSettings* settings) {
    using S = QWebEngineSettings;
    for (S::WebAttribute attribute : {S::JavascriptEnabled,
                                      S::JavascriptCanOpenWindows,
                                      S::JavascriptCanAccessClipboard,
                                      S::PluginsEnabled,
                                      S::LocalStorageEnabled,
                                      S::LocalContentCanAccessRemoteUrls,
                                      S::LocalContentCanAccessFileUrls,
                                      S::AutoLoadIconsForPage,
                                      S::ErrorPageEnabled,
                                      S::XSSAuditingEnabled,
                                      S::FullScreenSupportEnabled,
                                      S::ScreenCaptureEnabled,
                                      S::WebGLEnabled,
                                      S::Accelerated2dCanvasEnabled,
                                      S::HyperlinkAuditingEnabled,
                                      S::DnsPrefetchEnabled,
                                      S::PdfViewerEnabled,
                                      S::AllowRunningInsecureContent,
                                      S::AllowGeolocationOnInsecureOrigins,
                                      S::AllowWindowActivationFromJavaScript,
                                      S::JavascriptCanPaste,
                                      S::NavigateOnDropEnabled}) {
        settings->setAttribute(attribute, false);
    }
    // Media stays still until the user asks; only public WebRTC interfaces.
    settings->setAttribute(S::PlaybackRequiresUserGesture, true);
    settings->setAttribute(S::WebRTCPublicInterfacesOnly, true);
    settings->setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

LockedPage::LockedPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    LockDown(settings());
}

void LockedPage::LoadOwn(const QUrl& page) {
    expected_ = page;
    blankExpected_ = false;
    load(page);
}

void LockedPage::ShowBlank() {
    expected_.clear();
    blankExpected_ = true;
    setHtml(QStringLiteral("<!DOCTYPE html><html><head></head><body></body></html>"));
}

bool LockedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (type == NavigationTypeLinkClicked) {
        emit LinkRefused(url);
        return false;
    }
    if (!isMainFrame) return false;
    const bool blank = blankExpected_ && url.scheme() == QLatin1String("data");
    const bool own = !expected_.isEmpty() && url == expected_;
    if (!blank && !own) return false;
    // Once only: a refresh or redirect to the same address is the page's doing.
    expected_.clear();
    blankExpected_ = false;
    return true;
}

QWebEnginePage* LockedPage::createWindow(WebWindowType) {
    return nullptr;
}

}  // namespace velmora
