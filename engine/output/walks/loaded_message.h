// One message read into memory with its attachment and recipient rows, for the
// time it takes to hand it to the viewer or write it out. A message attached
// to another one is read the same way, below the attachment that holds it.
#pragma once

#include <memory>
#include <vector>

#include "common/property_ids.h"
#include "engine/storage/context_reader.h"

namespace corvex {

struct LoadedMessage;

struct AttachmentRecord {
    PropertyMap row;     // the attachment table's cells
    PropertyMap object;  // the attachment object's own properties; empty when it is missing
    // The message an embedded-message attachment holds; null for any other
    // attachment, and when that message cannot be found.
    std::unique_ptr<LoadedMessage> embedded;
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
