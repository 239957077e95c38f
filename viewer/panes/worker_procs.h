// What the worker threads of the progress dialog do: parse a store and list
// all its folders, or list the messages of one folder.
#pragma once

#include <cstdint>
#include <string>

#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/panes/dlg_thread_status.h"

namespace velmora::panes {

inline constexpr char16_t kParsingText[] = u"Parsing file...";
inline constexpr char16_t kEnumeratingFoldersText[] = u"Enumerating folder...";
inline constexpr char16_t kEnumeratingMailsText[] = u"Enumerating mails...";
// A big folder is read in batches of this many messages, so that the dialog can
// count them as they come.
inline constexpr std::uint32_t kMailBatch = 2000;

// Parse, then (when the store opened) the all-folders enumeration. A failed
// open is left in `status` (code 0) for the open command to report.
void ParseThreadProc(CPFFDataParserInterFace& binding, const std::u16string& storePath,
                     const std::u16string& workFolder, OpenStatus* status,
                     const StatusTextSink& showText);

// Lists the folder's messages in the order one enumeration gives them; after
// each full batch the second line says how many have been read so far.
void FolderMailsThreadProc(CPFFDataParserInterFace& binding, FolderEntry* folder,
                           OpenStatus* status, const StatusTextSink& showText);

}  // namespace velmora::panes
