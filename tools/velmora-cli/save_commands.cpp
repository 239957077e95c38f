#include "tools/velmora-cli/save_commands.h"

#include "common/path_text.h"
#include "tools/velmora-cli/command_support.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/attachment_copy.h"
#include "viewer/data/rebuild/engine_message_service.h"

namespace velmora::cli {
namespace {

constexpr std::uint32_t kNidTypeNormalFolder = 0x02;
constexpr std::uint32_t kNidTypeSearchFolder = 0x03;

bool IsFolder(StoreSession& session, std::uint32_t nid) {
    const StoreIndex* index = session.Index();
    const auto type = index != nullptr ? index->NodeType(nid) : std::nullopt;
    return type && (*type == kNidTypeNormalFolder || *type == kNidTypeSearchFolder);
}

}  // namespace

int RunExport(const std::filesystem::path& store, const std::filesystem::path& outDir,
              std::uint32_t folderNid) {
    StoreSession session;
    if (!OpenOrReport(session, store)) return 1;
    if (!IsFolder(session, folderNid))
        return ReportFailure(store.string() + ": no folder with NID " + NidText(folderNid));
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) return ReportFailure("cannot create " + outDir.string() + ": " + error.message());
    // The export's own return value is fixed; what went wrong reaches us as
    // the engine's messages, already printed by the time it returns.
    const std::size_t messagesBefore = EngineMessagesShown();
    session.Binding().SaveFolderHierarchy(
        folderNid, 0, common::PathToUtf16(std::filesystem::absolute(outDir)), 0);
    if (EngineMessagesShown() != messagesBefore)
        return ReportFailure("export into " + outDir.string() +
                             " is incomplete: the engine reported the failures above");
    return 0;
}

int RunAttachment(const std::filesystem::path& store, std::uint32_t messageNid, std::uint32_t index,
                  const std::filesystem::path& output) {
    StoreSession session;
    const MailEntry* mail = OpenMessageOrReport(session, store, messageNid);
    if (mail == nullptr) return 1;
    if (mail->attachments == nullptr || index >= mail->attachments->count) {
        return ReportFailure("message " + NidText(messageNid) + " has no attachment " +
                             std::to_string(index));
    }
    const AttachmentRow* attachment = mail->attachments->items[index];
    const std::string which =
        "attachment " + std::to_string(index) + " of message " + NidText(messageNid);
    // An attached message is written as the message it is, in Internet
    // message form, as the window saves it.
    if (AttachmentMessage(attachment) != nullptr) {
        if (WriteAttachmentCopy(attachment, output, true) != CopyResult::kWritten)
            return ReportFailure("cannot write " + output.string());
        return 0;
    }
    // The data property of an OLE object, or of an embedded message the
    // engine could not read, only points into the store; its bytes are no file.
    if (AttachmentHoldsObject(attachment)) {
        const bool message = PropInt(attachment->object, common::prop::kAttachMethod) ==
                             static_cast<std::int32_t>(common::kAttachEmbeddedMessage);
        return ReportFailure(which +
                             (message ? " is an embedded message that cannot be read from the store"
                                      : " is a stored object, not file data") +
                             "; nothing written");
    }
    if (AttachmentData(attachment) == nullptr)
        return ReportFailure(which + " holds no data (a link or an empty attachment)");
    if (!SaveAttachmentData(attachment, common::PathToUtf16(output)))
        return ReportFailure("cannot write " + output.string());
    return 0;
}

int RunRtf(const std::filesystem::path& store, std::uint32_t messageNid,
           const std::filesystem::path& output) {
    StoreSession session;
    const MailEntry* mail = OpenMessageOrReport(session, store, messageNid);
    if (mail == nullptr) return 1;
    const ExportedProp* rtf = FindProp(mail->props, common::prop::kRtfCompressed);
    if (rtf == nullptr) return ReportFailure("message " + NidText(messageNid) + " has no RTF body");
    const RtfFileOutcome outcome = WriteRtfFile(*rtf, common::PathToUtf16(output));
    if (!outcome.written)
        return ReportFailure("cannot write " + output.string() + ": " + outcome.failure);
    if (!outcome.decoded)
        return ReportFailure("RTF body of message " + NidText(messageNid) + " does not decode (" +
                             outcome.failure + "); stored bytes written");
    return 0;
}

}  // namespace velmora::cli
