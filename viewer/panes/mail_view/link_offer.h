// A link clicked in a message is never followed inside the view. The user is
// asked first, shown the address the link really leads to (not its text) and
// warned when its text names another host; on Yes the address goes to the
// desktop: web addresses to the web browser, mail addresses to the mail
// program. Other kinds of address (local files, scripts) are not opened.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace velmora {

// What a link offer asks of the desktop and of the user. The windowed program
// uses the real desktop and dialogs; tests put their own in.
struct LinkDesktop {
    // Asks `question` with Yes and No ("No" is the default); `warn` marks a
    // question that carries a warning.
    std::function<bool(QWidget* parent, const QString& question, bool warn)> confirm;
    // Hands the address to the desktop's program for it; false when none took it.
    std::function<bool(const QUrl& address)> openUrl;
    // Tells the user something.
    std::function<void(QWidget* parent, const QString& text)> tell;

    static LinkDesktop Real();
};

enum class LinkKind { kWeb, kMail, kNotOpened };

LinkKind KindOfLink(const QUrl& target);

// The host a link's visible text names ("www.bank.example",
// "https://bank.example/login", "ceo@bank.example"), lower case; empty when
// the text names none.
QString HostShownIn(const QString& text);

// The host the link leads to: the web host, or the domain of a mail address.
QString HostOfLink(const QUrl& target);

// True when the text names a host and the link leads to another one (a host
// and its subdomains count as one).
bool ShowsOtherHost(const QString& text, const QUrl& target);

// The question put to the user for `target` shown as `text`.
QString LinkQuestion(const QUrl& target, const QString& text);

// Asks about the clicked link and hands it to the desktop on Yes.
void OfferLink(const QUrl& target, const QString& text, const LinkDesktop& desktop,
               QWidget* parent);

}  // namespace velmora
