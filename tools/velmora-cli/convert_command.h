// The convert command: a store's folders as standard mail files, one .eml
// file per item or one mbox file per folder (see
// viewer/data/mail_writer/folder_conversion.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "viewer/data/mail_writer/folder_conversion.h"

namespace velmora::cli {

struct ConvertArguments {
    std::filesystem::path store;
    std::filesystem::path output;
    MailFormat format = MailFormat::kEml;
    std::optional<std::uint32_t> folderNid;  // none: every top folder of the store
    bool replace = false;
    bool keepRtf = false;
};

int RunConvert(const ConvertArguments& arguments);

}  // namespace velmora::cli
