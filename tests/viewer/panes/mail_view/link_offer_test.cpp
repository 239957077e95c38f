// A clicked link: what the user is asked, when the question warns, and what
// reaches the desktop. Nothing is opened without a Yes, and only web and mail
// addresses are opened at all.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "viewer/panes/mail_view/link_offer.h"

namespace velmora::test {
namespace {

struct HostCase {
    const char* text;
    const char* link;
    const char* shownHost;  // what the text names
    bool warns;
};

TEST(LinkOfferTest, WarnsWhenTheTextNamesAnotherHost) {
    const HostCase cases[] = {
        {"Click here", "https://bank.example/login", "", false},
        {"https://bank.example/login", "https://bank.example/login?id=1", "bank.example", false},
        {"www.bank.example", "https://bank.example/", "www.bank.example", false},
        {"bank.example", "https://login.bank.example/", "bank.example", false},
        {"Log in at www.bank.example today.", "http://evil.example/", "www.bank.example", true},
        {"https://bank.example", "https://bank.example.evil.example/", "bank.example", true},
        {"<https://BANK.example/>", "https://bank.example/", "bank.example", false},
        {"PayPal.example", "https://paypa1.example/", "paypal.example", true},
        {"ceo@bank.example", "mailto:ceo@evil.example", "bank.example", true},
        {"mailto:ceo@bank.example", "mailto:ceo@bank.example?subject=Hi", "bank.example", false},
        {"Read report.pdf now", "https://files.example/report.pdf", "", false},
        {"report.pdf", "https://files.example/report.pdf", "report.pdf", true},
        {"b\u00fccher.example", "https://xn--bcher-kva.example/", "xn--bcher-kva.example", false},
        {"apple.example", "https://xn--pple-43d.example/", "apple.example", true},
        {"", "https://bank.example/", "", false},
    };
    for (const HostCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " -> " + c.link);
        const QString text = QString::fromUtf8(c.text);
        const QUrl link(QString::fromUtf8(c.link));
        EXPECT_EQ(HostShownIn(text), QString::fromUtf8(c.shownHost));
        EXPECT_EQ(ShowsOtherHost(text, link), c.warns);
        const QString question = LinkQuestion(link, text);
        EXPECT_TRUE(question.contains(link.toString(QUrl::FullyEncoded)));
        EXPECT_EQ(question.contains("Careful"), c.warns) << question.toStdString();
    }
}

// A desktop that records what it was asked and what it opened.
struct RecordingDesktop {
    bool answer = true;
    QStringList questions;
    QList<bool> warnings;
    QList<QUrl> opened;
    QStringList told;

    LinkDesktop Desktop() {
        return {[this](QWidget*, const QString& question, bool warn) {
                    questions << question;
                    warnings << warn;
                    return answer;
                },
                [this](const QUrl& url) {
                    opened << url;
                    return true;
                },
                [this](QWidget*, const QString& text) { told << text; }};
    }
};

struct OfferCase {
    const char* link;
    const char* text;
    bool answer;
    const char* firstLine;  // of the question; empty: not asked
    bool opens;
};

TEST(LinkOfferTest, OnlyWebAndMailAddressesAreOfferedAndOnlyOnYes) {
    const OfferCase cases[] = {
        {"https://news.example/a?b=c#d", "the news", true, "Open this address in your web browser?",
         true},
        {"http://news.example/", "the news", false, "Open this address in your web browser?",
         false},
        {"mailto:desk@news.example", "write to us", true, "Open this address in your mail program?",
         true},
        {"file:///etc/passwd", "a file", true, "", false},
        {"javascript:alert(1)", "a script", true, "", false},
        {"cid:part1@example", "a part", true, "", false},
        {"ftp://files.example/x", "files", true, "", false},
        {"https:///no-host", "nothing", true, "", false},
    };
    QGuiApplication::clipboard()->setText("kept");
    for (const OfferCase& c : cases) {
        SCOPED_TRACE(c.link);
        RecordingDesktop desktop;
        desktop.answer = c.answer;
        const QUrl link(QString::fromUtf8(c.link));
        OfferLink(link, QString::fromUtf8(c.text), desktop.Desktop(), nullptr);
        const bool asked = c.firstLine[0] != '\0';
        ASSERT_EQ(desktop.questions.size(), asked ? 1 : 0);
        if (asked) {
            EXPECT_TRUE(desktop.questions[0].startsWith(QString::fromUtf8(c.firstLine)));
        } else {
            EXPECT_EQ(desktop.told.size(), 1) << "the user is told why nothing opened";
        }
        EXPECT_EQ(desktop.opened, c.opens ? QList<QUrl>{link} : QList<QUrl>{});
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept") << "the clipboard is the user's";
}

}  // namespace
}  // namespace velmora::test
