#include "viewer/panes/mail_view/link_offer.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace velmora {
namespace {

// An address longer than this is shown cut in the middle; it is opened whole.
constexpr qsizetype kMaxShownAddress = 1000;
constexpr qsizetype kMaxShownHost = 200;

QString ShownAddress(const QUrl& target) {
    // Encoded, so that a look-alike host shows its true (punycode) name.
    const QString address = target.toString(QUrl::FullyEncoded);
    if (address.size() <= kMaxShownAddress) return address;
    const qsizetype half = kMaxShownAddress / 2;
    return address.left(half) + QChar(0x2026) + address.right(half);
}

QString Shortened(const QString& text, qsizetype most) {
    return text.size() <= most ? text : text.left(most) + QChar(0x2026);
}

// The ASCII (punycode) form of a host, lower case, so that look-alikes differ.
QString AsciiHost(const QString& host) {
    return QString::fromLatin1(QUrl::toAce(host)).toLower();
}

bool SameSite(const QString& a, const QString& b) {
    return a == b || a.endsWith(QLatin1Char('.') + b) || b.endsWith(QLatin1Char('.') + a);
}

// A word of a link's text that names a host: an address with a scheme, a
// "www." name, a mail address, or a bare name when it is the whole text.
QString HostOfWord(const QString& word, bool wholeText) {
    static const QRegularExpression kHostName(
        QStringLiteral("^(?:[^\\s./@:]+\\.)+[^\\s./@:0-9][^\\s./@:]+$"));
    const qsizetype at = word.lastIndexOf(QLatin1Char('@'));
    if (at > 0 && !word.contains(QLatin1String("://")))
        return kHostName.match(word.mid(at + 1)).hasMatch() ? AsciiHost(word.mid(at + 1))
                                                            : QString();
    if (word.contains(QLatin1String("://"))) return AsciiHost(QUrl(word).host());
    const QString name = word.section(QLatin1Char('/'), 0, 0);
    if (!name.startsWith(QLatin1String("www."), Qt::CaseInsensitive) && !wholeText) return {};
    return kHostName.match(name).hasMatch() ? AsciiHost(name) : QString();
}

}  // namespace

LinkDesktop LinkDesktop::Real() {
    return {[](QWidget* parent, const QString& question, bool warn) {
                QMessageBox box(warn ? QMessageBox::Warning : QMessageBox::Question,
                                QObject::tr("Open Link"), question,
                                QMessageBox::Yes | QMessageBox::No, parent);
                box.setDefaultButton(QMessageBox::No);
                box.setTextFormat(Qt::PlainText);
                return box.exec() == QMessageBox::Yes;
            },
            [](const QUrl& address) { return QDesktopServices::openUrl(address); },
            [](QWidget* parent, const QString& text) {
                QMessageBox box(QMessageBox::Information, QObject::tr("Open Link"), text,
                                QMessageBox::Ok, parent);
                box.setTextFormat(Qt::PlainText);
                box.exec();
            }};
}

LinkKind KindOfLink(const QUrl& target) {
    const QString scheme = target.scheme().toLower();
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
        !target.host().isEmpty())
        return LinkKind::kWeb;
    if (scheme == QLatin1String("mailto") && !target.path().isEmpty()) return LinkKind::kMail;
    return LinkKind::kNotOpened;
}

QString HostShownIn(const QString& text) {
    static const QRegularExpression kSpace(QStringLiteral("\\s+"));
    static const QString kEdges = QStringLiteral("<>()[]{}\"'`,;:!?.");
    const QStringList words = text.split(kSpace, Qt::SkipEmptyParts);
    for (QString word : words) {
        while (!word.isEmpty() && kEdges.contains(word.front())) word.remove(0, 1);
        while (!word.isEmpty() && kEdges.contains(word.back())) word.chop(1);
        if (word.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) word.remove(0, 7);
        const QString host = HostOfWord(word, words.size() == 1);
        if (!host.isEmpty()) return host;
    }
    return {};
}

QString HostOfLink(const QUrl& target) {
    if (KindOfLink(target) != LinkKind::kMail) return AsciiHost(target.host());
    const QString address = target.path().section(QLatin1Char(','), 0, 0);
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : AsciiHost(address.mid(at + 1));
}

bool ShowsOtherHost(const QString& text, const QUrl& target) {
    const QString shown = HostShownIn(text);
    const QString real = HostOfLink(target);
    return !shown.isEmpty() && !SameSite(shown, real);
}

QString LinkQuestion(const QUrl& target, const QString& text) {
    QString question = KindOfLink(target) == LinkKind::kMail
                           ? QObject::tr("Open this address in your mail program?")
                           : QObject::tr("Open this address in your web browser?");
    question += QStringLiteral("\n\n") + ShownAddress(target);
    if (ShowsOtherHost(text, target)) {
        question += QStringLiteral("\n\n") +
                    QObject::tr("Careful: the link's text shows \"%1\", but it leads to \"%2\".")
                        .arg(Shortened(HostShownIn(text), kMaxShownHost),
                             Shortened(HostOfLink(target), kMaxShownHost));
    }
    return question;
}

void OfferLink(const QUrl& target, const QString& text, const LinkDesktop& desktop,
               QWidget* parent) {
    if (KindOfLink(target) == LinkKind::kNotOpened) {
        desktop.tell(
            parent,
            QObject::tr("This link is not opened from a message:\n\n%1").arg(ShownAddress(target)));
        return;
    }
    if (!desktop.confirm(parent, LinkQuestion(target, text), ShowsOtherHost(text, target))) return;
    if (!desktop.openUrl(target))
        desktop.tell(
            parent,
            QObject::tr("No program on this desktop could open \"%1\".").arg(ShownAddress(target)));
}

}  // namespace velmora
