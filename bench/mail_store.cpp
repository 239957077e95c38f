#include "bench/mail_store.h"

#include <iostream>
#include <string>
#include <vector>

#include "tools/storewriter/store_builder.h"

namespace velmora::bench {
namespace {

namespace sw = storewriter;

sw::MessageSpec MessageOf(std::uint32_t n, const MailStoreShape& shape) {
    sw::MessageSpec m;
    m.subject = "Quarterly figures " + std::to_string(n);
    m.senderName = "Ana Example";
    m.senderEmail = "ana@example.org";
    m.submitTime = 133000000000000000ull + n * 10000000ull;
    m.body = std::string(shape.bodySize, 'x');
    m.recipients = {{"Ben Example", "ben@example.org"},
                    {"Cy Example", "cy@example.org", "SMTP", sw::RecipientType::kCc}};
    m.attachments.push_back({"figures-" + std::to_string(n) + ".bin",
                             std::vector<std::uint8_t>(shape.attachmentSize, 7),
                             {}});
    m.flags |= sw::kMessageFlagHasAttachment;
    return m;
}

bool WriteMailStore(sw::Variant variant, const MailStoreShape& shape,
                    const std::filesystem::path& path) {
    sw::WriterOptions options;
    options.variant = variant;
    options.spoolDirectory = path.parent_path();
    sw::StoreBuilder builder(options);
    std::uint32_t n = 0;
    for (std::uint32_t f = 0; f < shape.folders; ++f) {
        const std::uint32_t folder =
            builder.AddFolder(builder.TopFolder(), "Folder " + std::to_string(f));
        const std::uint32_t count = f == 0 ? shape.bigFolderMessages : shape.smallFolderMessages;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (builder.AddMessage(folder, MessageOf(n++, shape)) == 0) return false;
        }
    }
    std::string error;
    if (!builder.WriteTo(path, &error))
        std::cerr << "cannot write " << path << ": " << error << "\n";
    return std::filesystem::exists(path);
}

}  // namespace

std::filesystem::path MailStorePath(const std::filesystem::path& folder,
                                    storewriter::Variant variant, const MailStoreShape& shape) {
    // The walk bench's default shape keeps the name it always had.
    std::string tag = std::to_string(shape.folders) + "x" + std::to_string(shape.bigFolderMessages);
    if (shape.smallFolderMessages != MailStoreShape{}.smallFolderMessages)
        tag += "x" + std::to_string(shape.smallFolderMessages);
    return variant == sw::Variant::kUnicode4K ? folder / ("walk-4k-" + tag + ".ost")
                                              : folder / ("walk-unicode-" + tag + ".pst");
}

bool EnsureMailStore(const std::filesystem::path& folder, storewriter::Variant variant,
                     const MailStoreShape& shape) {
    std::filesystem::create_directories(folder);
    const auto path = MailStorePath(folder, variant, shape);
    return std::filesystem::exists(path) || WriteMailStore(variant, shape, path);
}

}  // namespace velmora::bench
