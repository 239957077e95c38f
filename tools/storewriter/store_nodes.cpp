#include "tools/storewriter/store_nodes.h"

#include <string_view>

#include "common/little_endian.h"
#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/property_context_writer.h"
#include "tools/storewriter/property_list.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kValidFolderMaskSubtree = 0x01;
constexpr std::uint16_t kNameIdBucketCount = 0x0001;
constexpr std::uint16_t kNameIdStreamGuid = 0x0002;
constexpr std::uint16_t kNameIdStreamEntry = 0x0003;
constexpr std::uint16_t kNameIdStreamString = 0x0004;
constexpr std::uint32_t kNameIdBuckets = 251;
constexpr std::uint16_t kFirstBucket = 0x1000;
// The one named property every map starts with: a numeric name in the first
// well-known property set, mapped to property id 0x8000.
constexpr std::uint32_t kFirstNamedLid = 0x8501;
constexpr std::uint16_t kWellKnownSetIndex = 1;

ByteVector NameIdEntry() {
    ByteVector entry(8, 0);
    common::StoreLE32(entry.data(), kFirstNamedLid);
    common::StoreLE16(entry.data() + 4, static_cast<std::uint16_t>(kWellKnownSetIndex << 1));
    return entry;
}

// The property set and name streams each hold one entry that no named
// property uses yet; readers expect neither of them empty.
ByteVector GuidStream(const StoreUid& uid) {
    return ByteVector(uid.rbegin(), uid.rend());
}

ByteVector StringStream() {
    static constexpr char kName[] = "Keywords";
    ByteVector stream(4, 0);
    common::StoreLE32(stream.data(), 2 * (sizeof(kName) - 1));
    for (const char c : std::string_view(kName)) {
        stream.push_back(static_cast<std::uint8_t>(c));
        stream.push_back(0);
    }
    return stream;
}

std::uint16_t BucketOf(std::uint32_t lid, std::uint16_t setIndex) {
    return static_cast<std::uint16_t>(kFirstBucket +
                                      (lid ^ (std::uint32_t{setIndex} << 1)) % kNameIdBuckets);
}

}  // namespace

ByteVector StoreEntryId(const StoreUid& uid, std::uint32_t nid) {
    ByteVector id(24, 0);
    std::copy(uid.begin(), uid.end(), id.begin() + 4);
    common::StoreLE32(id.data() + 20, nid);
    return id;
}

NodeContent BuildMessageStore(const VariantLayout& layout, const std::string& displayName,
                              const StoreUid& uid, std::uint32_t topFolderNid) {
    PropertyList properties(layout.Ansi());
    properties.String(common::prop::kDisplayName, displayName)
        .Binary(common::prop::kRecordKey, uid)
        .Binary(common::prop::kIpmSubtreeEntryId, StoreEntryId(uid, topFolderNid))
        .Long(common::prop::kValidFolderMask, kValidFolderMaskSubtree)
        .Long(common::prop::kPstPassword, 0);
    SubnodeNids nids;
    return BuildPropertyContext(layout, properties.Values(), nids);
}

NodeContent BuildNameToIdMap(const VariantLayout& layout, const StoreUid& uid) {
    PropertyList properties(layout.Ansi());
    properties.Long(kNameIdBucketCount, kNameIdBuckets)
        .Binary(kNameIdStreamGuid, GuidStream(uid))
        .Binary(kNameIdStreamEntry, NameIdEntry())
        .Binary(kNameIdStreamString, StringStream())
        .Binary(BucketOf(kFirstNamedLid, kWellKnownSetIndex), NameIdEntry());
    SubnodeNids nids;
    return BuildPropertyContext(layout, properties.Values(), nids);
}

}  // namespace velmora::storewriter
