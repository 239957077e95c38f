#include "tools/velmora-cli/command_support.h"

#include <charconv>
#include <cstdio>

#include "common/utf16_text.h"
#include "tools/velmora-cli/message_locator.h"
#include "viewer/data/rebuild/engine_message_service.h"
#include "viewer/data/rebuild/message_box.h"

namespace velmora::cli {

int ReportFailure(const std::string& text) {
    ShowMessageBox(u"velmora-cli", common::Utf8ToUtf16(text));
    return 1;
}

std::string LineField(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

int WithEngineReports(int code, std::size_t engineMessagesBefore) {
    if (code != 0 || EngineMessagesShown() == engineMessagesBefore) return code;
    ReportFailure("the engine reported damage above; the output holds only what could be read");
    return kDamagedStoreExit;
}

bool OpenOrReport(StoreSession& session, const std::filesystem::path& store) {
    std::string error;
    if (session.Open(store, error)) return true;
    ReportFailure(error);
    return false;
}

const MailEntry* OpenMessageOrReport(StoreSession& session, const std::filesystem::path& store,
                                     std::uint32_t messageNid) {
    if (!OpenOrReport(session, store)) return nullptr;
    const MailEntry* mail = FindMessage(session, messageNid);
    if (mail == nullptr)
        ReportFailure(store.string() + ": no message with NID " + NidText(messageNid));
    return mail;
}

std::optional<std::uint32_t> ParseNid(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    std::uint32_t nid = 0;
    const auto [end, error] = std::from_chars(first, last, nid, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return nid;
}

std::string NidText(std::uint32_t nid) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%x", nid);
    return text;
}

}  // namespace velmora::cli
