// The body view's page: it goes only where the program sends it. A message
// cannot navigate away (links, refreshes, forms, redirects) nor open windows;
// a clicked link is handed to the program instead of being followed.
#pragma once

#include <QUrl>
#include <QWebEnginePage>

namespace velmora {

class LockedPage final : public QWebEnginePage {
    Q_OBJECT

  public:
    explicit LockedPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Shows the page file at `page`.
    void LoadOwn(const QUrl& page);
    // Shows an empty page.
    void ShowBlank();

  signals:
    // The user clicked a link in the message; it was not followed.
    void LinkRefused(const QUrl& url);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

  private:
    // The one navigation the program itself started and not yet seen.
    QUrl expected_;
    bool blankExpected_ = false;
};

// Turns off everything a message page could use to run code or reach out.
void LockDown(QWebEngineSettings* settings);

}  // namespace velmora
