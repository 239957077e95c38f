#include "tests/tools/storewriter/writer_cases.h"

#include "tools/storewriter/synthetic_store.h"

namespace velmora::storewriter::test {
namespace {

const char* VariantName(Variant variant) {
    switch (variant) {
        case Variant::kAnsi:
            return "Ansi";
        case Variant::kUnicode4K:
            return "FourK";
        case Variant::kUnicode:
            break;
    }
    return "Unicode";
}

WriterCase MakeCase(Variant variant, std::uint8_t crypt, bool compress) {
    WriterOptions options;
    options.variant = variant;
    options.cryptMethod = crypt;
    options.compress = compress;
    std::string name = std::string(VariantName(variant)) + "Crypt" + std::to_string(crypt);
    if (variant == Variant::kUnicode4K && !compress) name += "Plain";
    return {name, options};
}

}  // namespace

std::vector<WriterCase> AllWriterCases() {
    std::vector<WriterCase> cases;
    for (const Variant variant : {Variant::kAnsi, Variant::kUnicode, Variant::kUnicode4K}) {
        for (const std::uint8_t crypt : {0, 1, 2}) cases.push_back(MakeCase(variant, crypt, true));
    }
    for (const std::uint8_t crypt : {0, 1, 2})
        cases.push_back(MakeCase(Variant::kUnicode4K, crypt, false));
    return cases;
}

std::vector<WriterCase> VariantCases() {
    return {MakeCase(Variant::kAnsi, 1, true), MakeCase(Variant::kUnicode, 2, true),
            MakeCase(Variant::kUnicode4K, 2, true)};
}

std::vector<WriterCase> FourKCases() {
    std::vector<WriterCase> cases = AllWriterCases();
    std::erase_if(cases,
                  [](const WriterCase& c) { return c.options.variant != Variant::kUnicode4K; });
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<WriterCase>& info) {
    return info.param.name;
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t salt) {
    return SyntheticBytes(0x5EED, salt, size);
}

}  // namespace velmora::storewriter::test
