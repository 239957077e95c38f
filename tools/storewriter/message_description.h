// What a message holds, as a test or benchmark describes it; StoreBuilder
// turns it into the message's property context, recipient table, attachment
// table and attachment objects. Text is UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora::storewriter {

enum class RecipientType : std::uint32_t { kTo = 1, kCc = 2, kBcc = 3 };

struct RecipientSpec {
    std::string displayName;
    std::string emailAddress;
    std::string addressType = "SMTP";
    RecipientType type = RecipientType::kTo;
};

struct MessageSpec;

// By value (method 1) unless `embedded` is set: then an embedded message (method 5).
struct AttachmentSpec {
    std::string fileName;
    std::vector<std::uint8_t> data;
    std::shared_ptr<const MessageSpec> embedded;
};

constexpr std::uint32_t kMessageFlagRead = 0x01;
constexpr std::uint32_t kMessageFlagHasAttachment = 0x10;

struct MessageSpec {
    std::string messageClass = "IPM.Note";
    std::string subject;
    std::string senderName;
    std::string senderEmail;
    std::uint64_t submitTime = 0;  // FILETIME: 100 ns ticks since 1601
    std::uint32_t flags = kMessageFlagRead;
    std::uint32_t importance = 1;  // 0 low, 1 normal, 2 high
    std::string body;              // plain text; empty for none
    std::string htmlBody;
    std::string rtfBody;  // RTF text, stored compressed
    std::vector<RecipientSpec> recipients;
    std::vector<AttachmentSpec> attachments;
};

}  // namespace velmora::storewriter
