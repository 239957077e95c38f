// storegen: writes a synthetic node-database store for tests and benchmarks.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/storewriter/sample_mail_store.h"
#include "tools/storewriter/storegen_options.h"

namespace sw = velmora::storewriter;

namespace {

const char* VariantName(sw::Variant variant) {
    switch (variant) {
        case sw::Variant::kAnsi:
            return "ansi";
        case sw::Variant::kUnicode4K:
            return "4k";
        case sw::Variant::kUnicode:
            break;
    }
    return "unicode";
}

bool WriteRawNodes(const sw::StoregenOptions& options, std::size_t& nodes, std::size_t& blocks,
                   std::string& error) {
    sw::StoreWriter writer(options.writer);
    const bool built = sw::BuildSyntheticStore(writer, options.shape);
    nodes = writer.NodeCount();
    blocks = writer.BlockCount();
    return writer.WriteTo(options.output, &error) && built;
}

bool WriteMailStore(const sw::StoregenOptions& options, std::size_t& nodes, std::size_t& blocks,
                    std::string& error) {
    sw::StoreBuilder builder(options.writer);
    const bool built = sw::BuildSampleMailStore(builder, options.shape);
    const bool written = builder.WriteTo(options.output, &error);
    nodes = builder.Writer().NodeCount();
    blocks = builder.Writer().BlockCount();
    return written && built;
}

int Generate(sw::StoregenOptions options) {
    const std::filesystem::path output = options.output;
    options.writer.spoolDirectory = std::filesystem::absolute(output).parent_path();
    std::string error;
    std::size_t nodes = 0;
    std::size_t blocks = 0;
    const bool ok = options.rawNodes ? WriteRawNodes(options, nodes, blocks, error)
                                     : WriteMailStore(options, nodes, blocks, error);
    if (!ok) {
        std::fprintf(stderr, "storegen: %s\n",
                     error.empty() ? "cannot build the store" : error.c_str());
        return 1;
    }
    std::error_code ignored;
    std::printf("storegen: wrote %s (%s, crypt %u, %zu nodes, %zu blocks, %llu bytes)\n",
                output.c_str(), VariantName(options.writer.variant),
                unsigned{options.writer.cryptMethod}, nodes, blocks,
                static_cast<unsigned long long>(std::filesystem::file_size(output, ignored)));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options =
        sw::ParseStoregenOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "storegen: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(sw::StoregenUsage(), stdout);
        return 0;
    }
    return Generate(*options);
}
