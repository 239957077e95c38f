// The message body: a locked-down web view that shows the page file written
// for the selected message, or nothing. Until the first message it shows an
// empty box, so a window that never shows a message never starts the browser.
// Its text can be selected and copied; a clicked link is offered to the
// desktop after asking the user, never followed in the view.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include "viewer/data/rebuild/message_page.h"
#include "viewer/panes/mail_view/link_offer.h"

class QStackedLayout;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

namespace velmora {

class LockedPage;
class PageRequestFilter;

class BodyDisplay final : public QWidget {
    Q_OBJECT

  public:
    explicit BodyDisplay(QWidget* parent = nullptr);
    ~BodyDisplay() override;

    // Shows the page file at `path`; the file shown before is removed once it
    // has loaded. The folder `path` was rebuilt in goes while the page loads,
    // and is gone before PageShown says the page is on screen.
    void ShowFile(const QString& path, PageScratch scratch = {});
    // Shows an empty body.
    void ShowBlank();
    // Starts the browser before any page is asked for (the empty box stays on
    // screen). The browser forks its helper processes from this one when it
    // starts, and a fork leaves every page this process holds copy-protected:
    // started after a large folder's records were made, the next write to
    // each of their pages faults, seconds of work when the folder is freed.
    // Started while the process is small, that costs nothing later.
    void StartBrowser();
    // The browser view, once started or a message has been shown; null before.
    QWebEngineView* View() const { return view_; }
    LockedPage* Page() const { return page_; }
    // Where clicked links go; the real desktop unless a test says otherwise.
    void SetLinkDesktop(LinkDesktop desktop) { linkDesktop_ = std::move(desktop); }

  signals:
    // The page last asked for has finished loading.
    void PageShown(bool ok);
    // The user clicked a link in the message; it was not followed but
    // offered to the desktop, as showing `text`.
    void LinkOffered(const QUrl& url, const QString& text);

  private:
    void EnsureView();
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    bool IsPending(const QUrl& url) const;
    void Expect(const QString& file);
    void OnLinkClicked(const QUrl& url);
    void ShowMenu(const QPoint& position);

    QStackedLayout* stack_;
    QWebEngineProfile* profile_ = nullptr;
    PageRequestFilter* filter_ = nullptr;
    LockedPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QString shownFile_;    // the page file on screen, removed when replaced
    QString pendingFile_;  // the page file loading now; empty for a blank page
    bool loading_ = false;
    PageScratch scratch_;  // the folder the page loading now was rebuilt in
    LinkDesktop linkDesktop_ = LinkDesktop::Real();
};

}  // namespace velmora
