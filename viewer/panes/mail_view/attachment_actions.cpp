#include "viewer/panes/mail_view/attachment_actions.h"

#include <QFileInfo>
#include <QStringList>

#include "common/path_text.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/attachment_copy.h"
#include "viewer/data/rebuild/attachment_file_name.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/opened_copies.h"
#include "viewer/panes/mail_view/runnable_file.h"

namespace velmora {
namespace {

// Enough " (n)" names for any message; a folder fuller than that is not ours to fill.
constexpr int kMaxNameAttempts = 1000;
// Failures listed by name in one message; a message may hold thousands.
constexpr qsizetype kMaxListedFailures = 20;

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

void Tell(const QString& text) {
    ShowMessageBox(kAttachmentCaption, text.toStdU16String());
}

std::filesystem::path PathOf(const QString& path) {
    return common::PathFromUtf16(path.toStdU16String());
}

// Why `attachment` did not reach `target`; empty when it did.
QString FailureText(CopyResult result, const AttachmentRow* attachment, std::uint32_t codePage,
                    const std::filesystem::path& target) {
    const QString name = Text(AttachmentName(attachment, codePage));
    switch (result) {
        case CopyResult::kWritten:
            return {};
        case CopyResult::kNoData:
            return QObject::tr(
                       "\"%1\" holds no data: it is a link, an empty attachment or a "
                       "stored object.")
                .arg(name);
        case CopyResult::kUnreadableMessage:
            return QObject::tr("\"%1\" is an attached message that cannot be read from the store.")
                .arg(name);
        case CopyResult::kExists:
            return QObject::tr("\"%1\" exists already.").arg(Text(common::PathToUtf16(target)));
        case CopyResult::kWriteFailed:
            break;
    }
    return QObject::tr("\"%1\" could not be written to \"%2\".")
        .arg(name, Text(common::PathToUtf16(target)));
}

// Writes the copy; false after telling the user why not.
bool WriteOrTell(const AttachmentRow* attachment, std::uint32_t codePage,
                 const std::filesystem::path& target, bool replace) {
    const QString failure =
        FailureText(WriteAttachmentCopy(attachment, target, replace), attachment, codePage, target);
    if (failure.isEmpty()) return true;
    Tell(failure);
    return false;
}

CopyResult SaveIntoFolder(const AttachmentRow* attachment, std::uint32_t codePage,
                          const std::filesystem::path& folder, AttachmentFileNames& names,
                          std::filesystem::path& target) {
    const std::u16string name = AttachmentCopyName(attachment, codePage);
    CopyResult result = CopyResult::kExists;
    for (int attempt = 0; attempt < kMaxNameAttempts && result == CopyResult::kExists; ++attempt) {
        target = folder / common::PathFromUtf16(names.Take(name));
        result = WriteAttachmentCopy(attachment, target);
    }
    return result;
}

QString SaveFailuresText(QStringList failures) {
    const qsizetype unlisted = failures.size() - kMaxListedFailures;
    if (unlisted > 0) {
        failures.resize(kMaxListedFailures);
        failures << QObject::tr("... and %1 more.").arg(unlisted);
    }
    return QObject::tr("Not every attachment was saved:\n%1").arg(failures.join(QLatin1Char('\n')));
}

}  // namespace

QString WriteOpenedCopy(const AttachmentRow* attachment, std::uint32_t codePage, CopyUse use) {
    std::string error;
    const std::filesystem::path folder = NewOpenedCopyFolder(error);
    if (folder.empty()) {
        Tell(QObject::tr("The attachment could not be copied: %1")
                 .arg(QString::fromStdString(error)));
        return {};
    }
    const std::filesystem::path target =
        folder / common::PathFromUtf16(AttachmentCopyName(attachment, codePage));
    if (!WriteOrTell(attachment, codePage, target, false)) {
        std::error_code ignored;
        std::filesystem::remove(folder, ignored);
        return {};
    }
    // A copy that cannot be sealed is still handed over: later starts keep
    // it, since they cannot tell whether the user changed it.
    SealOpenedCopy(target, use, error);
    return Text(common::PathToUtf16(target));
}

void OpenAttachmentFile(const AttachmentRow* attachment, std::uint32_t codePage,
                        const AttachmentDesktop& desktop, QWidget* parent) {
    const QString copy = WriteOpenedCopy(attachment, codePage, CopyUse::kOpened);
    if (copy.isEmpty()) return;
    if (MayRunAsProgram(copy) && !desktop.confirmRun(parent, copy)) return;
    if (!desktop.openUrl(QUrl::fromLocalFile(copy)))
        Tell(QObject::tr("No program on this desktop could open \"%1\". A copy is at \"%2\".")
                 .arg(QFileInfo(copy).fileName(), copy));
}

void SaveAttachmentAs(const AttachmentRow* attachment, std::uint32_t codePage,
                      const AttachmentDesktop& desktop, QWidget* parent) {
    const QString chosen =
        desktop.saveFileName(parent, Text(AttachmentCopyName(attachment, codePage)));
    if (chosen.isEmpty()) return;
    const bool exists = QFileInfo::exists(chosen) || QFileInfo(chosen).isSymLink();
    if (exists && !desktop.confirmReplace(parent, chosen)) return;
    WriteOrTell(attachment, codePage, PathOf(chosen), exists);
}

void SaveAllAttachments(const MailEntry* mail, const AttachmentDesktop& desktop, QWidget* parent) {
    if (mail == nullptr || mail->attachments == nullptr || mail->attachments->count == 0) return;
    const QString chosen = desktop.saveFolder(parent);
    if (chosen.isEmpty()) return;
    const std::filesystem::path folder = PathOf(chosen);
    const std::uint32_t codePage = MessageCodePage(mail);
    AttachmentFileNames names;
    QStringList failures;
    for (std::uint32_t i = 0; i < mail->attachments->count; ++i) {
        const AttachmentRow* attachment = mail->attachments->items[i];
        std::filesystem::path target;
        const CopyResult result = SaveIntoFolder(attachment, codePage, folder, names, target);
        const QString failure = FailureText(result, attachment, codePage, target);
        if (!failure.isEmpty()) failures << failure;
    }
    if (!failures.isEmpty()) Tell(SaveFailuresText(failures));
}

}  // namespace velmora
