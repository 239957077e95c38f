#include "viewer/data/rebuild/attachment_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/message_file.h"
#include "viewer/data/rebuild/attachment_file_name.h"

namespace velmora {
namespace {

bool IsAsciiAlphanumeric(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool EndsWithExtension(std::u16string_view name, std::u16string_view extension) {
    if (name.size() <= extension.size() || name[name.size() - extension.size() - 1] != u'.')
        return false;
    const std::u16string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; };
        if (lower(tail[i]) != lower(extension[i])) return false;
    }
    return true;
}

std::u16string WithExtension(std::u16string name, const std::u16string& extension) {
    if (extension.empty() || EndsWithExtension(name, extension)) return name;
    return name + u"." + extension;
}

bool IsUnreadableMessage(const AttachmentRow* attachment) {
    return AttachmentHoldsObject(attachment) &&
           PropInt(attachment->object, common::prop::kAttachMethod) ==
               static_cast<std::int32_t>(common::kAttachEmbeddedMessage);
}

// Makes the file for the copy, the user's alone; false when it cannot, or
// when it exists and is not to be replaced. A link is never followed.
bool CreateTarget(const std::filesystem::path& target, bool replace) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (replace ? O_TRUNC : O_EXCL);
    const int file = ::open(target.c_str(), flags, 0600);
    if (file < 0) return false;
    ::close(file);
    return true;
}

// An attached message is written as the message it is, as a mail program
// opens it: the conversion's .eml form, under a Message-ID of its own when it
// keeps none.
bool WriteContent(const AttachmentRow* attachment, const std::filesystem::path& target) {
    if (const MailEntry* inner = AttachmentMessage(attachment)) {
        OutputFailure failure;
        return WriteMessageFile(*inner, target, true, failure, 0600);
    }
    return SaveAttachmentData(attachment, common::PathToUtf16(target));
}

}  // namespace

std::u16string SafeExtension(std::u16string_view extension) {
    if (extension.empty() || extension.size() > kMaxExtensionLength) return {};
    for (const char16_t c : extension) {
        if (!IsAsciiAlphanumeric(c)) return {};
    }
    return std::u16string(extension);
}

std::u16string AttachmentCopyName(const AttachmentRow* attachment, std::uint32_t codePage) {
    if (const MailEntry* inner = AttachmentMessage(attachment)) {
        // A subject is no path: "Q3/Q4 plan" keeps both halves.
        std::u16string subject = MailSubject(inner);
        std::replace_if(
            subject.begin(), subject.end(), [](char16_t c) { return c == u'/' || c == u'\\'; },
            u'_');
        return WithExtension(SafeAttachmentFileName(subject.empty() ? kUnnamedMessage : subject),
                             kMessageFileExtension);
    }
    std::u16string extension;
    AttachmentExtension(attachment, extension, codePage);
    return WithExtension(SafeAttachmentFileName(AttachmentName(attachment, codePage)),
                         SafeExtension(extension));
}

CopyResult WriteAttachmentCopy(const AttachmentRow* attachment, const std::filesystem::path& target,
                               bool replace) {
    if (AttachmentMessage(attachment) == nullptr) {
        if (IsUnreadableMessage(attachment)) return CopyResult::kUnreadableMessage;
        if (AttachmentData(attachment) == nullptr) return CopyResult::kNoData;
    }
    std::error_code error;
    const bool existed = std::filesystem::exists(std::filesystem::symlink_status(target, error));
    if (existed && !replace) return CopyResult::kExists;
    if (!CreateTarget(target, replace)) return CopyResult::kWriteFailed;
    if (!WriteContent(attachment, target)) {
        if (!existed) std::filesystem::remove(target, error);
        return CopyResult::kWriteFailed;
    }
    // The writer may have replaced the file; whatever it made, nobody else reads it or runs it.
    if (!existed) ::chmod(target.c_str(), 0600);
    return CopyResult::kWritten;
}

}  // namespace velmora
