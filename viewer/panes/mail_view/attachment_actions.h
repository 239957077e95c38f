// What the user can do with an attachment of the strip: open a copy with the
// desktop's program, save it, save them all, or take a copy to drag away.
// Every failure is told in a message box; nothing fails silently.
#pragma once

#include <QString>
#include <cstdint>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/work_folder/opened_copies.h"
#include "viewer/panes/mail_view/attachment_desktop.h"

class QWidget;

namespace velmora {

inline constexpr char16_t kAttachmentCaption[] = u"Attachment";

// An attachment's 8-bit texts are read in `codePage`, its message's, the
// same as the strip reads them; the files' names are the names shown.

// Writes a copy of the attachment into a new folder among the opened copies,
// sealed for `use`; its path, or empty after telling the user why not.
QString WriteOpenedCopy(const AttachmentRow* attachment, std::uint32_t codePage, CopyUse use);

// Opens a fresh copy of the attachment's file with the desktop's program for
// it. A file that may run as a program is opened only when the user says so.
void OpenAttachmentFile(const AttachmentRow* attachment, std::uint32_t codePage,
                        const AttachmentDesktop& desktop, QWidget* parent);

// Saves the attachment where the user says, replacing a file only when asked to.
void SaveAttachmentAs(const AttachmentRow* attachment, std::uint32_t codePage,
                      const AttachmentDesktop& desktop, QWidget* parent);

// Saves every attachment of `mail` into the folder the user picks. A name
// that is taken there, or twice in the message, gets " (2)", " (3)", ...
// before its extension: no file is replaced and nothing is asked per file.
void SaveAllAttachments(const MailEntry* mail, const AttachmentDesktop& desktop, QWidget* parent);

}  // namespace velmora
