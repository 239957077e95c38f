// What the body view may fetch: the page file it was told to show, the parts
// inside that page and inline images. A message body is untrusted, so
// everything else — the network, other local files — is refused.
#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace velmora {

class PageRequestFilter final : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // The one local file the view may read; an empty URL allows none.
    void AllowPage(const QUrl& page) { page_ = page; }
    bool Allows(const QUrl& url) const;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  private:
    QUrl page_;
};

}  // namespace velmora
