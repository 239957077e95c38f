#include "tools/storewriter/storegen_options.h"

#include <charconv>
#include <cstdint>
#include <functional>
#include <map>

namespace velmora::storewriter {
namespace {

// Message NIDs must keep their index below 2^27.
constexpr std::uint64_t kMaxMessages = 1u << 26;

bool ParseNumber(const std::string& text, std::uint64_t max, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && !text.empty() && value <= max;
}

bool ParseVariant(const std::string& text, Variant& variant) {
    static const std::map<std::string, Variant> kNames = {
        {"ansi", Variant::kAnsi}, {"unicode", Variant::kUnicode}, {"4k", Variant::kUnicode4K}};
    const auto it = kNames.find(text);
    if (it == kNames.end()) return false;
    variant = it->second;
    return true;
}

template <typename T>
std::function<bool(const std::string&)> NumberInto(T& field, std::uint64_t max) {
    return [&field, max](const std::string& text) {
        std::uint64_t value = 0;
        if (!ParseNumber(text, max, value)) return false;
        field = static_cast<T>(value);
        return true;
    };
}

using ValueSetters = std::map<std::string, std::function<bool(const std::string&)>>;

ValueSetters MakeSetters(StoregenOptions& o) {
    return {
        {"--output",
         [&o](const std::string& v) {
             o.output = v;
             return !v.empty();
         }},
        {"--variant", [&o](const std::string& v) { return ParseVariant(v, o.writer.variant); }},
        {"--crypt", NumberInto(o.writer.cryptMethod, 2)},
        {"--folders", NumberInto(o.shape.folders, 0xFFFF)},
        {"--messages", NumberInto(o.shape.messagesPerFolder, kMaxMessages)},
        {"--body-size", NumberInto(o.shape.bodySize, 0xFFFFFFFFu)},
        {"--subnodes", NumberInto(o.shape.subnodesPerMessage, 0xFFFF)},
        {"--recipients", NumberInto(o.shape.recipientsPerMessage, 0xFFFF)},
        {"--attachments", NumberInto(o.shape.attachmentsPerMessage, 0xFFFF)},
        {"--attachment-size", NumberInto(o.shape.attachmentSize, 0xFFFFFFFFu)},
        {"--seed", NumberInto(o.shape.seed, UINT64_MAX)},
    };
}

bool ApplyFlag(const std::string& arg, StoregenOptions& o) {
    if (arg == "--no-compress")
        o.writer.compress = false;
    else if (arg == "--raw-nodes")
        o.rawNodes = true;
    else if (arg == "--help" || arg == "-h")
        o.help = true;
    else
        return false;
    return true;
}

}  // namespace

std::optional<StoregenOptions> ParseStoregenOptions(const std::vector<std::string>& args,
                                                    std::string& error) {
    StoregenOptions options;
    const ValueSetters setters = MakeSetters(options);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (ApplyFlag(args[i], options)) continue;
        const auto setter = setters.find(args[i]);
        if (setter == setters.end()) return error = "unknown option " + args[i], std::nullopt;
        if (i + 1 == args.size()) return error = args[i] + " needs a value", std::nullopt;
        if (!setter->second(args[++i]))
            return error = "bad value for " + args[i - 1] + ": " + args[i], std::nullopt;
    }
    if (options.help) return options;
    if (options.output.empty()) return error = "--output is required", std::nullopt;
    if (std::uint64_t{options.shape.folders} * options.shape.messagesPerFolder > kMaxMessages) {
        return error = "too many messages", std::nullopt;
    }
    return options;
}

const char* StoregenUsage() {
    return "usage: storegen --output FILE [--variant ansi|unicode|4k] [--crypt 0|1|2] "
           "[--no-compress]\n"
           "                [--folders N] [--messages N] [--body-size BYTES] [--recipients N]\n"
           "                [--attachments N] [--attachment-size BYTES] [--seed S]\n"
           "                [--raw-nodes [--subnodes N]]\n"
           "Writes a mail store: the message store, the root and top folders, N folders below the "
           "top\n"
           "folder with N messages each; every message has a subject, sender, plain text, HTML "
           "and\n"
           "(every other one) RTF bodies, recipients and attachments (every fifth message's last\n"
           "attachment is an embedded message). With --raw-nodes, writes only the node database:\n"
           "nodes and subnodes whose data blocks hold pseudo-random bytes of the given sizes.\n";
}

}  // namespace velmora::storewriter
