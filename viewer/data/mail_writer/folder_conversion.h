// A folder of a store, and the folders below it, written as standard mail
// files: one .eml file per item in a directory per folder, or one mbox file
// per folder beside the directory of its subfolders. Messages are read from
// the engine a batch at a time and each is written before the next is built,
// so memory does not grow with the size of a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/safe_name.h"
#include "engine/interface/corvex_engine.h"
#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/data/mail_writer/message_file.h"
#include "viewer/data/mail_writer/output_files.h"

namespace velmora {

enum class MailFormat { kEml, kMbox };

struct ConversionRequest {
    MailFormat format = MailFormat::kEml;
    std::filesystem::path output;  // the target folder; made when missing
    bool replace = false;          // existing files are written over
    bool subfolders = true;
    MailWriteOptions options;
    std::string storeName;  // part of the Message-ID made for messages without one
};

// How a conversion ended.
enum class ConversionEnd { kDone, kFailed, kStopped };

class FolderConversion {
  public:
    // The NIDs of a folder's messages in the order the engine hands them out;
    // empty when they are not known (messages are then keyed by position).
    using MessageNids = std::function<std::vector<std::uint32_t>(const FolderEntry& folder)>;
    // Called after each message written with the count so far; false stops the conversion.
    using Progress = std::function<bool(std::size_t messagesWritten)>;

    FolderConversion(CPFFDataParserInterFace& binding, ConversionRequest request,
                     MessageNids messageNids = {}, Progress progress = {});

    // Writes each folder of `folders` (and, when asked, the folders below)
    // into the target folder. Stops at the first file that cannot be written:
    // Failure() then names it. Stops, too, after the message being written
    // when the store's stop word is set (the progress dialog's Cancel). What
    // was written before stays whole.
    ConversionEnd Convert(const std::vector<FolderEntry*>& folders);

    const OutputFailure& Failure() const { return failure_; }
    std::size_t MessagesWritten() const { return written_; }

  private:
    // Where the messages of one folder go, and how they are named and keyed.
    struct MessageBatch {
        std::uint32_t folderNid;
        const std::vector<std::uint32_t>& nids;
        std::size_t width;  // digits of the position in an .eml file's name
        const std::filesystem::path& directory;
        MboxFile* mbox;  // null: one .eml file per message in `directory`
    };

    bool ConvertFolder(FolderEntry& folder, const std::filesystem::path& parent,
                       common::SiblingNames& siblings, int depth);
    bool ConvertChildren(FolderEntry& folder, const std::filesystem::path& directory, int depth);
    bool WriteMessages(FolderEntry& folder, const std::filesystem::path& directory, MboxFile* mbox);
    // Builds the batch's messages on two threads and writes them in order.
    bool WriteBatch(const MailEntryList& batch, std::size_t first, const MessageBatch& place);
    static std::uint64_t KeyOf(const MessageBatch& place, std::size_t index);
    // The message as written: an .eml file's content, or an mbox entry.
    std::string MessageText(const MailEntry& mail, std::uint64_t key, bool mboxEntry) const;
    bool MakeDirectory(const std::filesystem::path& directory);
    bool Counted();

    CPFFDataParserInterFace& binding_;
    ConversionRequest request_;
    MessageNids messageNids_;
    Progress progress_;
    OutputFailure failure_;
    std::size_t written_ = 0;
    bool stopped_ = false;
};

}  // namespace velmora
