// The viewer's whole path over one store file, from its bytes to the rendered
// page: the store session opens the file with the engine its format version
// chooses (compiled in, see in_process_binding.h), the folder tree is
// flattened as the tree and export commands do, and for the first messages of
// the first folders every getter the mail list, the header and the
// attachment strip read is read, each attachment is saved, and the message is
// rebuilt in the messaging component and saved as an MHT page. Shared by the
// fuzz target and the replay of the inputs it found faults with, so that a
// kept input is replayed exactly as it was found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "fuzz/in_process_binding.h"
#include "tools/velmora-cli/folder_visit.h"
#include "tools/velmora-cli/store_session.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/recipient_lines.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"

namespace velmora::fuzz {

// Bounds on the work of one walk: a hostile store may describe any number of
// folders, messages and attachments, and one input should stay quick.
struct ViewerPathLimits {
    std::size_t folders = 32;
    // Most folders of a mailbox are empty: this counts those with messages.
    int foldersWithMail = 4;
    std::uint32_t mailsPerFolder = 4;
    std::uint32_t attachmentsPerMail = 8;
};

// Needs a working folder (WorkFolder): the engine's value files, the
// rebuild's bodies and attachment folders go below it. Pages and saved
// attachments go into `output`.
class ViewerPathWalk {
  public:
    ViewerPathWalk(ViewerPathLimits limits, const std::filesystem::path& output)
        : limits_(limits),
          page_(common::PathToUtf16(output / "page.mht")),
          attachment_(common::PathToUtf16(output / "attachment.bin")) {}

    // What the reads produced, so that none of them can be optimised away.
    std::size_t Run(const std::filesystem::path& store) {
        cli::StoreSession session([limit = limits_.mailsPerFolder](std::uint16_t version) {
            return CreateInProcessBinding(version, limit);
        });
        std::string error;
        if (!session.Open(store, error)) return 0;
        const std::vector<cli::FolderVisit> folders = cli::FlattenFolders(session.Roots());
        int withMail = 0;
        for (std::size_t i = 0;
             i < folders.size() && i < limits_.folders && withMail < limits_.foldersWithMail; ++i) {
            sink_ += folders[i].path.size();
            withMail += ReadFolder(session, folders[i].folder);
        }
        return sink_;
    }

  private:
    // Returns whether the folder held any message.
    bool ReadFolder(cli::StoreSession& session, FolderEntry* folder) {
        sink_ += FolderClass(folder).size();
        const MailEntryList& mails = session.EnumMails(folder);
        for (std::uint32_t i = 0;
             mails.items != nullptr && i < mails.count && i < limits_.mailsPerFolder; ++i)
            ReadMail(mails.items[i]);
        return mails.count > 0;
    }

    void ReadMail(const MailEntry* mail) {
        if (mail == nullptr) return;
        const std::uint32_t codePage = MessageCodePage(mail);
        ReadHeader(mail, codePage);
        ReadRecipients(mail, codePage);
        ReadAttachments(mail, codePage);
        sink_ += RenderSelectedMessage(mail, page_);
    }

    // The mail list's columns and the header's fields.
    void ReadHeader(const MailEntry* mail, std::uint32_t codePage) {
        sink_ += MailSubject(mail).size() + MailReceivedByName(mail).size() +
                 MailSenderName(mail).size() + MailSenderAddress(mail).size() +
                 MailSubmitTime(mail).size();
        sink_ += static_cast<std::size_t>(MailImportance(mail)) + MailIsRead(mail) +
                 MailHasAttachments(mail);
        const RecipientLineSet lines = RecipientLines(mail);
        sink_ += lines.to.size() + lines.cc.size() + lines.bcc.size();
        ReadEveryValue(mail->props, codePage);
    }

    void ReadRecipients(const MailEntry* mail, std::uint32_t codePage) {
        const RecipientRowList* rows = mail->recipients;
        for (std::uint32_t i = 0; rows != nullptr && rows->items != nullptr && i < rows->count;
             ++i) {
            const RecipientRow* row = rows->items[i];
            sink_ += FolderName(row, codePage).size() + RecipientAddress(row, codePage).size() +
                     static_cast<std::size_t>(RecipientType(row));
            if (row != nullptr) ReadEveryValue(row->tableRow, codePage);
        }
    }

    // The attachment strip: name, extension, size, and the data saved as the
    // viewer saves it when the user opens the attachment.
    void ReadAttachments(const MailEntry* mail, std::uint32_t codePage) {
        const AttachmentRowList* rows = mail->attachments;
        for (std::uint32_t i = 0; rows != nullptr && rows->items != nullptr && i < rows->count &&
                                  i < limits_.attachmentsPerMail;
             ++i) {
            const AttachmentRow* row = rows->items[i];
            std::u16string extension;
            sink_ += AttachmentName(row, codePage).size() +
                     AttachmentExtension(row, extension, codePage) + AttachmentHoldsObject(row);
            if (const ExportedProp* data = AttachmentData(row)) sink_ += ValueSize(*data);
            sink_ += SaveAttachmentData(row, attachment_);
            if (row == nullptr) continue;
            ReadEveryValue(row->tableRow, codePage);
            ReadEveryValue(row->object, codePage);
        }
    }

    // Every value as the property view shows it.
    void ReadEveryValue(const ExportedPropMap* map, std::uint32_t codePage) {
        for (std::uint32_t i = 0; map != nullptr && map->items != nullptr && i < map->count; ++i) {
            if (map->items[i] == nullptr) continue;
            sink_ += ValueToText(*map->items[i], codePage).size() + ValueSize(*map->items[i]);
        }
    }

    ViewerPathLimits limits_;
    std::u16string page_;
    std::u16string attachment_;
    std::size_t sink_ = 0;
};

}  // namespace velmora::fuzz
