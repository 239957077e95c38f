#include "viewer/data/mail_writer/folder_conversion.h"

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "messaging/mime/gmime_ref.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/header_text.h"
#include "viewer/data/mail_writer/mbox_entry.h"
#include "viewer/data/mail_writer/mime_message.h"
#include "viewer/data/mail_writer/output_names.h"

namespace velmora {
namespace {

// Messages read from the engine at a time: enough to keep it busy, few
// enough that their records and value files stay small.
constexpr std::uint32_t kBatch = 32;
// Folder levels written; real trees are a few deep, and the engine walks no deeper.
constexpr int kMaxFolderDepth = 512;

std::optional<std::int64_t> SubmitSeconds(const MailEntry& mail) {
    auto ticks = PropFileTime(mail.props, prop::kClientSubmitTime);
    if (!ticks) ticks = PropFileTime(mail.props, prop::kDeliveryTime);
    return ticks ? UnixSeconds(*ticks) : std::nullopt;
}

std::filesystem::path PathOf(const std::u16string& name) {
    return common::PathFromUtf16(name);
}

}  // namespace

FolderConversion::FolderConversion(CPFFDataParserInterFace& binding, ConversionRequest request,
                                   MessageNids messageNids, Progress progress)
    : binding_(binding),
      request_(std::move(request)),
      messageNids_(std::move(messageNids)),
      progress_(std::move(progress)) {}

ConversionEnd FolderConversion::Convert(const std::vector<FolderEntry*>& folders) {
    std::error_code error;
    std::filesystem::create_directories(request_.output, error);
    if (error) {
        failure_ = {request_.output, error.message()};
        return ConversionEnd::kFailed;
    }
    common::SiblingNames siblings;
    for (FolderEntry* folder : folders) {
        if (folder != nullptr && !ConvertFolder(*folder, request_.output, siblings, 0))
            return stopped_ ? ConversionEnd::kStopped : ConversionEnd::kFailed;
    }
    return ConversionEnd::kDone;
}

bool FolderConversion::ConvertFolder(FolderEntry& folder, const std::filesystem::path& parent,
                                     common::SiblingNames& siblings, int depth) {
    const std::u16string base = FolderOutputName(FolderName(&folder));
    std::u16string name = common::ClaimSiblingName(siblings, base);
    const std::filesystem::path directory = parent / PathOf(name);
    if (request_.format == MailFormat::kEml) {
        if (!MakeDirectory(directory) || !WriteMessages(folder, directory, nullptr)) return false;
    } else {
        // The mbox file of one folder must not take the name of another's directory.
        while (!siblings.try_emplace(name + u".mbox", 2).second)
            name = common::ClaimSiblingName(siblings, base);
        MboxFile mbox;
        if (!mbox.Create(parent / PathOf(name + u".mbox"), request_.replace, failure_))
            return false;
        if (!WriteMessages(folder, directory, &mbox)) return false;
        if (!mbox.Close(failure_)) return false;
    }
    return ConvertChildren(folder, parent / PathOf(name), depth);
}

bool FolderConversion::ConvertChildren(FolderEntry& folder, const std::filesystem::path& directory,
                                       int depth) {
    const FolderList* children = folder.children;
    if (!request_.subfolders || children == nullptr || children->count == 0 ||
        depth + 1 >= kMaxFolderDepth)
        return true;
    if (request_.format == MailFormat::kMbox && !MakeDirectory(directory)) return false;
    common::SiblingNames siblings;
    for (std::uint32_t i = 0; i < children->count; ++i) {
        FolderEntry* child = children->items[i];
        if (child != nullptr && !ConvertFolder(*child, directory, siblings, depth + 1))
            return false;
    }
    return true;
}

bool FolderConversion::WriteMessages(FolderEntry& folder, const std::filesystem::path& directory,
                                     MboxFile* mbox) {
    if (folder.mails == nullptr) return true;
    const std::vector<std::uint32_t> nids =
        messageNids_ ? messageNids_(folder) : std::vector<std::uint32_t>{};
    const std::size_t width = PositionWidth(nids.size());
    OpenStatus status{};
    status.code = 1;
    std::size_t position = 0;
    bool ok = true;
    for (std::uint32_t first = 0; ok; first += kBatch) {
        binding_.EnumChildMailsRange(&folder, &status, first, kBatch);
        const MailEntryList& batch = folder.mails->entries;
        for (std::uint32_t i = 0; ok && i < batch.count; ++i) {
            const std::size_t index = position++;
            const std::uint64_t key =
                index < nids.size() ? nids[index] : (std::uint64_t{folder.nidLow} << 32 | index);
            if (batch.items[i] != nullptr)
                ok = WriteMessage(*batch.items[i], index + 1, width, key, directory, mbox);
        }
        if (batch.count < kBatch || first > UINT32_MAX - 2 * kBatch) break;
    }
    // A first index past every message empties the list: the last batch's
    // records and value files go now, not with the store.
    binding_.EnumChildMailsRange(&folder, &status, UINT32_MAX, 1);
    return ok;
}

bool FolderConversion::WriteMessage(const MailEntry& mail, std::size_t position, std::size_t width,
                                    std::uint64_t key, const std::filesystem::path& directory,
                                    MboxFile* mbox) {
    const std::string messageId = StableMessageId(request_.storeName, key);
    if (mbox != nullptr) {
        const messaging::GRef<GMimeMessage> message(
            NewMimeMessage(mail, messageId, request_.options));
        const std::string from =
            MboxFromLine(HeaderText(MailSenderAddress(&mail)), SubmitSeconds(mail));
        if (!mbox->Append(MboxEntry(from, MessageBytes(message.get(), LineEnds::kLf)), failure_))
            return false;
    } else {
        const std::filesystem::path target =
            directory / PathOf(EmlFileName(position, width, MailSubject(&mail)));
        if (!WriteWholeFile(target, EmlText(mail, messageId, request_.options), request_.replace,
                            failure_))
            return false;
    }
    return Counted();
}

bool FolderConversion::MakeDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directory(directory, error);
    if (!error) return true;
    failure_ = {directory, error.message()};
    return false;
}

bool FolderConversion::Counted() {
    ++written_;
    if (!progress_ || progress_(written_)) return true;
    stopped_ = true;
    return false;
}

}  // namespace velmora
