// libFuzzer target: RTF bodies of any shape turned into HTML (simple and
// encapsulated), and the result made safe, must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "messaging/html/html_sanitizer.h"
#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    const std::string simple = velmora::messaging::RtfToSimpleHtml(rtf);
    velmora::messaging::SanitizeHtml(simple);
    if (const auto html = velmora::messaging::ExtractEncapsulatedHtml(rtf))
        velmora::messaging::SanitizeHtml(*html);
    // The input as an HTML body of its own.
    velmora::messaging::SanitizeHtml(rtf);
    return 0;
}
