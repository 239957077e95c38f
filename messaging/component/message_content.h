// What a message object of the component holds once it has been filled.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/variant.h"

namespace velmora::messaging {

struct MessageRecipient {
    std::u16string name;
    std::u16string address;
    std::u16string addressType;
    std::int32_t type = 1;  // 1 To, 2 Cc, 3 Bcc
};

struct MessageAttachment {
    std::string data;
    std::int32_t position = 0;
    std::u16string longName;  // the name given when it was added
    std::u16string displayName;
    std::u16string fileName;
    std::u16string mimeTag;
    std::u16string contentId;
    std::u16string contentLocation;  // the URL or file name a page may refer to it by
    bool message = false;            // `data` is a whole message in Internet message form
};

struct MessageContent {
    std::map<std::uint32_t, Variant> properties;  // by dispatch id, as put
    std::string rtfBody;                          // imported RTF, as read
    std::string htmlBody;                         // imported HTML, as read
    std::vector<MessageRecipient> recipients;
    std::vector<std::shared_ptr<MessageAttachment>> attachments;

    std::u16string Text(std::uint32_t dispatchId) const;
    const VariantDate* Date(std::uint32_t dispatchId) const;
};

}  // namespace velmora::messaging
