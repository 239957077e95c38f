#include "viewer/panes/worker_procs.h"

namespace velmora::panes {

void ParseThreadProc(CPFFDataParserInterFace& binding, const std::u16string& storePath,
                     const std::u16string& workFolder, OpenStatus* status,
                     const StatusTextSink& showText) {
    showText(kParsingText);
    binding.Parse(storePath, workFolder, status);
    // A store that did not open has nothing to enumerate.
    if (status->code == 0) return;
    showText(kEnumeratingFoldersText);
    binding.EnumAllFolders(status);
}

namespace {

std::u16string MailsReadText(std::uint32_t count) {
    const std::string number = std::to_string(count);
    return std::u16string(kEnumeratingMailsText) + u" " +
           std::u16string(number.begin(), number.end()) + u" messages read";
}

}  // namespace

void FolderMailsThreadProc(CPFFDataParserInterFace& binding, FolderEntry* folder,
                           OpenStatus* status, const StatusTextSink& showText) {
    showText(kEnumeratingMailsText);
    MailList* list = folder != nullptr ? folder->mails : nullptr;
    if (list == nullptr) {
        binding.EnumChildMails(folder, status);
        return;
    }
    // A first index past every message empties the list and reads nothing; the
    // continuing export then walks the folder from its first message, a batch
    // a call, and stops short only at the end or when the user stops it.
    binding.EnumChildMailsRange(folder, status, UINT32_MAX, 1);
    list->batchCount = kMailBatch;
    for (;;) {
        const std::uint32_t before = list->entries.count;
        binding.EnumChildMailsNext(folder, nullptr);
        if (list->entries.count - before < kMailBatch) return;
        showText(MailsReadText(list->entries.count));
    }
}

}  // namespace velmora::panes
