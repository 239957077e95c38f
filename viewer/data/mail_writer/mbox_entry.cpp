#include "viewer/data/mail_writer/mbox_entry.h"

#include <ctime>

namespace velmora {
namespace {

bool NeedsQuoting(std::string_view line) {
    const std::size_t start = line.find_first_not_of('>');
    return start != std::string_view::npos && line.substr(start).starts_with("From ");
}

}  // namespace

std::string MboxFromLine(const std::string& address, std::optional<std::int64_t> unixSeconds) {
    bool usable = !address.empty() && address.size() < 512;
    for (const char c : address)
        usable = usable && static_cast<unsigned char>(c) > 0x20 && c != 0x7F;
    const std::time_t clock = unixSeconds.value_or(0);
    std::tm utc{};
    char date[64] = "Thu Jan  1 00:00:00 1970";
    if (gmtime_r(&clock, &utc) != nullptr)
        std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", &utc);
    return "From " + (usable ? address : std::string("MAILER-DAEMON")) + " " + date + "\n";
}

std::string MboxEntry(const std::string& fromLine, std::string_view message) {
    std::string entry;
    entry.reserve(fromLine.size() + message.size() + message.size() / 64 + 2);
    entry += fromLine;
    while (!message.empty()) {
        const std::size_t end = message.find('\n');
        const std::string_view line =
            end == std::string_view::npos ? message : message.substr(0, end + 1);
        if (NeedsQuoting(line)) entry += '>';
        entry += line;
        message.remove_prefix(line.size());
    }
    if (!entry.ends_with('\n')) entry += '\n';
    entry += '\n';
    return entry;
}

}  // namespace velmora
