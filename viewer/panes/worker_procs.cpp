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

void FolderMailsThreadProc(CPFFDataParserInterFace& binding, FolderEntry* folder,
                           OpenStatus* status, const StatusTextSink& showText) {
    showText(kEnumeratingMailsText);
    binding.EnumChildMails(folder, status);
}

}  // namespace velmora::panes
