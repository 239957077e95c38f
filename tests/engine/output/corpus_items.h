// What the context readers make of a real store: every folder's name and, for
// every message, the fields an independent reader reports for it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

struct StoreRecipient {
    std::string name;
    std::string address;
    std::string type;  // "To", "CC", "BCC"
};

struct StoreAttachment {
    std::string name;
    std::uint32_t attachSize = 0;  // PR_ATTACH_SIZE
    std::uint32_t dataSize = 0;    // bytes of PR_ATTACH_DATA_BIN
    bool embedded = false;         // an attached message (PR_ATTACH_METHOD 5)
};

struct StoreItem {
    std::string folder;
    std::string subject;
    std::string senderName;  // PR_SENDER_NAME, else PR_SENT_REPRESENTING_NAME
    bool senderIsRepresenting = false;
    std::vector<StoreRecipient> recipients;
    std::vector<StoreAttachment> attachments;
};

// A subject as the independent reader shows it: without the prefix marker
// (0x01 and the prefix length) that a store may put before it.
std::string SubjectWithoutPrefix(std::string subject);
// PR_RECIPIENT_TYPE as the independent reader names it.
std::string RecipientTypeName(std::uint32_t type);

struct StoreContents {
    std::vector<std::string> folders;  // display names of folder nodes
    std::vector<StoreItem> items;      // message nodes in node order
};

// Opens `path` with the variant its wVer names and reads every folder and
// message context. An unopenable file gives no contents.
StoreContents ReadStoreContents(const std::filesystem::path& path);

}  // namespace velmora::test
