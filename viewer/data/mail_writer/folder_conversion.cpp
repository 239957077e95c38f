#include "viewer/data/mail_writer/folder_conversion.h"

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "messaging/mime/gmime_ref.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/header_text.h"
#include "viewer/data/mail_writer/mbox_entry.h"
#include "viewer/data/mail_writer/mime_message.h"
#include "viewer/data/mail_writer/ordered_work.h"
#include "viewer/data/mail_writer/output_names.h"

namespace velmora {
namespace {

// Messages read from the engine at a time: enough that the engine builds
// them on both cores (it takes a second thread from 64 on), few enough that
// their records and value files stay small.
constexpr std::uint32_t kBatch = 128;
// Messages built and waiting to be written at most: each may be large.
constexpr std::size_t kMessagesAhead = 4;
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
    const MessageBatch place{folder.nidLow, nids, PositionWidth(nids.size()), directory, mbox};
    OpenStatus status{};
    status.code = 1;
    bool ok = true;
    for (std::uint32_t first = 0; ok; first += kBatch) {
        binding_.EnumChildMailsRange(&folder, &status, first, kBatch);
        // A stop asked while the engine read the batch cuts it short: a short
        // batch is then no end of the folder, and nothing after it is written.
        if (StopAsked(binding_)) {
            stopped_ = true;
            ok = false;
            break;
        }
        const MailEntryList& batch = folder.mails->entries;
        ok = WriteBatch(batch, first, place);
        if (batch.count < kBatch || first > UINT32_MAX - 2 * kBatch) break;
    }
    // A first index past every message empties the list: the last batch's
    // records and value files go now, not with the store.
    binding_.EnumChildMailsRange(&folder, &status, UINT32_MAX, 1);
    return ok;
}

bool FolderConversion::WriteBatch(const MailEntryList& batch, std::size_t first,
                                  const MessageBatch& place) {
    const auto make = [&](std::size_t i) {
        const MailEntry* mail = batch.items[i];
        return mail != nullptr ? MessageText(*mail, KeyOf(place, first + i), place.mbox != nullptr)
                               : std::string();
    };
    const auto take = [&](std::size_t i, const std::string& text) {
        const MailEntry* mail = batch.items[i];
        if (mail == nullptr) return true;
        if (place.mbox != nullptr) {
            if (!place.mbox->Append(text, failure_)) return false;
        } else {
            const std::filesystem::path target =
                place.directory /
                PathOf(EmlFileName(first + i + 1, place.width, MailSubject(mail)));
            if (!WriteWholeFile(target, text, request_.replace, failure_)) return false;
        }
        return Counted();
    };
    return TakeInOrder<std::string>(batch.count, kMessagesAhead, make, take);
}

std::uint64_t FolderConversion::KeyOf(const MessageBatch& place, std::size_t index) {
    return index < place.nids.size() ? place.nids[index]
                                     : (std::uint64_t{place.folderNid} << 32 | index);
}

std::string FolderConversion::MessageText(const MailEntry& mail, std::uint64_t key,
                                          bool mboxEntry) const {
    const std::string messageId = StableMessageId(request_.storeName, key);
    if (!mboxEntry) return EmlText(mail, messageId, request_.options);
    const messaging::GRef<GMimeMessage> message(NewMimeMessage(mail, messageId, request_.options));
    const std::string from =
        MboxFromLine(HeaderText(MailSenderAddress(&mail)), SubmitSeconds(mail));
    return MboxEntry(from, MessageBytes(message.get(), LineEnds::kLf));
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
    if ((!progress_ || progress_(written_)) && !StopAsked(binding_)) return true;
    stopped_ = true;
    return false;
}

}  // namespace velmora
