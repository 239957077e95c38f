#include "viewer/panes/mail_view/attachment_icons.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/attachment_copy.h"

namespace velmora {
namespace {

constexpr char kMessageMimeType[] = "message/rfc822";
constexpr char kMailIconName[] = "mail-message";

// The name the type is looked up by: a stem, "." and the extension; ".txt"
// without one. (The type database takes a bare ".txt" for a hidden file.)
QString IconLookupName(const AttachmentRow* attachment) {
    std::u16string extension;
    if (!AttachmentExtension(attachment, extension) || extension.empty())
        return QStringLiteral("attachment.txt");
    return QStringLiteral("attachment.") + QString::fromStdU16String(SafeExtension(extension));
}

// The theme's second choice: a mail for a message, else the type's generic icon.
QString FallbackIconName(const QMimeType& type) {
    if (type.name() == QLatin1String(kMessageMimeType)) return QString::fromLatin1(kMailIconName);
    return type.genericIconName();
}

}  // namespace

AttachmentIcon AttachmentIconOf(const AttachmentRow* attachment) {
    const QMimeDatabase types;
    const QMimeType type =
        AttachmentMessage(attachment) != nullptr
            ? types.mimeTypeForName(QString::fromLatin1(kMessageMimeType))
            : types.mimeTypeForFile(IconLookupName(attachment), QMimeDatabase::MatchExtension);
    // The default type says only that the extension is unknown.
    if (!type.isValid() || type.isDefault()) return {type.name(), QString()};
    return {type.name(), type.iconName()};
}

QIcon IconImage(const AttachmentIcon& icon) {
    const QIcon generic = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    if (icon.iconName.isEmpty()) return generic;
    const QString fallback = FallbackIconName(QMimeDatabase().mimeTypeForName(icon.mimeType));
    return QIcon::fromTheme(icon.iconName,
                            fallback.isEmpty() ? generic : QIcon::fromTheme(fallback, generic));
}

}  // namespace velmora
