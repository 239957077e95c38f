#include "viewer/panes/mail_view/page_request_filter.h"

#include <QWebEngineUrlRequestInfo>

namespace velmora {

bool PageRequestFilter::Allows(const QUrl& url) const {
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("cid") || scheme == QLatin1String("data")) return true;
    return !page_.isEmpty() && url.adjusted(QUrl::RemoveFragment) == page_;
}

void PageRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!Allows(info.requestUrl())) info.block(true);
}

}  // namespace velmora
