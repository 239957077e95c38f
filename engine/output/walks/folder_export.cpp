#include "engine/output/walks/folder_export.h"

#include <string>
#include <vector>

#include "common/property_ids.h"
#include "engine/output/files/output_directory.h"
#include "engine/output/files/property_csv.h"
#include "engine/output/files/row_file.h"
#include "engine/output/walks/ordered_two_way_build.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

std::vector<PropertyView> ViewsOf(const PropertyMap& properties) {
    std::vector<PropertyView> views;
    views.reserve(properties.Size());
    for (const auto& [id, value] : properties)
        views.push_back({value.id, value.type, value.bytes, value.inSubnode});
    return views;
}

std::filesystem::path RecordDirectory(const std::filesystem::path& parent, std::size_t k) {
    return parent / ("Record_" + std::to_string(k));
}

template <typename V>
constexpr CsvFlavor kFlavor{
    V::kWide && !V::kCompressed ? CsvFirstLine::kWithFileName : CsvFirstLine::kPlain,
    WalkContext<V>::kText};

}  // namespace

template <typename V>
void FolderExport<V>::WriteProperties(const std::filesystem::path& directory,
                                      std::u16string_view baseName,
                                      const PropertyMap& properties) const {
    std::vector<const PropValue*> values;
    for (const auto& [id, value] : properties) values.push_back(&value);
    const std::vector<PropertyView> views = ViewsOf(properties);
    // The writer hands back the views it was given; their position names the value.
    const ValueResolver resolve = [&](const PropertyView& view) {
        return context_.Contexts().ValueBytes(
            *values[static_cast<std::size_t>(&view - views.data())]);
    };
    WritePropertyCsv(directory, baseName, views, resolve, kFlavor<V>);
}

template <typename V>
void FolderExport<V>::SaveHierarchy(std::uint32_t nid, const std::filesystem::path& target) const {
    std::unordered_set<std::uint32_t> path{nid};
    SaveHierarchy(nid, target, path);
}

template <typename V>
void FolderExport<V>::SaveHierarchy(std::uint32_t nid, const std::filesystem::path& target,
                                    std::unordered_set<std::uint32_t>& path) const {
    SaveMessages(nid, target);
    if (path.size() > static_cast<std::size_t>(kMaxFolderDepth)) return;
    SiblingNames siblings;
    for (const auto& [parent, child] : context_.ChildFolders(nid)) {
        if (context_.Stopped()) return;
        // A folder filed under itself or a descendant would recurse without end.
        if (!path.insert(child->Nid()).second) continue;
        SaveChildFolder(*child, target, siblings, path);
        path.erase(child->Nid());
    }
}

template <typename V>
void FolderExport<V>::SaveChildFolder(const NbtEntry& child, const std::filesystem::path& target,
                                      SiblingNames& siblings,
                                      std::unordered_set<std::uint32_t>& path) const {
    const PropertyMap properties = context_.Contexts().NodeProperties(child);
    const std::u16string name = context_.FolderName(properties);
    if (name.empty()) return;
    const std::filesystem::path directory =
        target / common::PathFromUtf16(common::ClaimSiblingName(siblings, name));
    if (!EnsureDirectory(directory, WalkContext<V>::kLibraryName)) return;
    // The ANSI library writes no property file for folders.
    if constexpr (V::kWide) WriteProperties(directory, u"FolderProp", properties);
    SaveHierarchy(child.Nid(), directory, path);
}

// Every message has a directory of its own, so two threads can write two
// messages at once; the file system serialises only the entries they add to
// the folder's directory. Each directory is named by the message's position,
// so the output is the same whichever thread writes it. A stop ends both
// halves; messages of the second half may already be written by then.
template <typename V>
void FolderExport<V>::SaveMessages(std::uint32_t nid, const std::filesystem::path& target) const {
    const auto messages = context_.Messages(nid);
    RunTwoWay(messages.size(), [&](std::size_t i) {
        if (context_.Stopped()) return false;
        SaveMessage(i + 1, *messages[i].second, target);
        return true;
    });
}

template <typename V>
void FolderExport<V>::SaveMessage(std::size_t ordinal, const NbtEntry& message,
                                  const std::filesystem::path& target) const {
    const LoadedMessage loaded = LoadMessage(context_.Contexts(), message);
    const PropValue* subject = loaded.properties.Find(common::prop::kSubject);
    const std::u16string subjectText =
        subject != nullptr ? ValueText(WalkContext<V>::ViewOf(*subject), WalkContext<V>::kText)
                           : u"";
    const std::string prefix = std::to_string(ordinal) + "_";
    const std::filesystem::path messageDirectory =
        target / common::PathFromUtf16(std::u16string(prefix.begin(), prefix.end()) +
                                       SafeName(subjectText, true));
    if (!EnsureDirectory(messageDirectory, WalkContext<V>::kLibraryName)) return;
    if (EnsureDirectory(messageDirectory / "MailPropData", WalkContext<V>::kLibraryName)) {
        WriteProperties(messageDirectory / "MailPropData", u"MSGProp", loaded.properties);
    }
    SaveAttachments(loaded, messageDirectory);
    SaveRecipients(loaded, messageDirectory);
}

template <typename V>
void FolderExport<V>::SaveAttachments(const LoadedMessage& message,
                                      const std::filesystem::path& directory) const {
    if (!message.hasAttachmentTable) return;
    const std::filesystem::path attachData = directory / "AttachData";
    if (!EnsureDirectory(attachData, WalkContext<V>::kLibraryName)) return;
    std::size_t k = 0;
    for (const AttachmentRecord& attachment : message.attachments) {
        const std::filesystem::path record = RecordDirectory(attachData, ++k);
        if (!EnsureDirectory(record, WalkContext<V>::kLibraryName)) continue;
        WriteRowFile(record, ViewsOf(attachment.row), WalkContext<V>::kText);
        if (EnsureDirectory(record / "AttachData", WalkContext<V>::kLibraryName)) {
            WriteProperties(record / "AttachData", u"AttachProp", attachment.object);
        }
    }
}

template <typename V>
void FolderExport<V>::SaveRecipients(const LoadedMessage& message,
                                     const std::filesystem::path& directory) const {
    if (!message.hasRecipientTable) return;
    const std::filesystem::path recipientData = directory / "RecipientData";
    if (!EnsureDirectory(recipientData, WalkContext<V>::kLibraryName)) return;
    std::size_t k = 0;
    for (const TableRow& recipient : message.recipients) {
        const std::filesystem::path record = RecordDirectory(recipientData, ++k);
        if (EnsureDirectory(record, WalkContext<V>::kLibraryName)) {
            WriteRowFile(record, ViewsOf(recipient.cells), WalkContext<V>::kText);
        }
    }
}

CORVEX_INSTANTIATE_CLASS(FolderExport)

}  // namespace corvex
