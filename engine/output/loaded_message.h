// One message read into memory with its attachment and recipient rows, for the
// time it takes to hand it to the viewer or write it out.
#pragma once

#include <vector>

#include "engine/storage/context_reader.h"

namespace corvex {

constexpr std::uint32_t kAttachmentTableNid = 0x671;
constexpr std::uint32_t kRecipientTableNid = 0x692;
constexpr std::uint16_t kPropAttachmentDescriptor = 0x67F2;

struct AttachmentRecord {
    PropertyMap row;     // the attachment table's cells
    PropertyMap object;  // the attachment object's own properties; empty when it is missing
};

struct LoadedMessage {
    PropertyMap properties;
    std::vector<AttachmentRecord> attachments;
    std::vector<TableRow> recipients;
    bool hasAttachmentTable = false;
    bool hasRecipientTable = false;
};

template <typename V>
LoadedMessage LoadMessage(const ContextReader<V>& contexts, const NbtEntry& message);

}  // namespace corvex
