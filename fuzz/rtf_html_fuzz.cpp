// libFuzzer target: RTF bodies of any shape turned into HTML (simple and
// encapsulated), and the result made safe, must neither crash nor hang; a
// page made safe, parsed again as a browser would, holds no script element
// and no event attribute.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/page_elements.h"
#include "messaging/html/html_sanitizer.h"
#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"

namespace {

void CheckInert(const std::string& page) {
    velmora::fuzz::VisitPageElements(page, [](const GumboNode& node) {
        const GumboElement& element = node.v.element;
        if (element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_IFRAME) std::abort();
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const std::string_view name =
                static_cast<const GumboAttribute*>(element.attributes.data[i])->name;
            if (name.size() > 2 && (name[0] | 0x20) == 'o' && (name[1] | 0x20) == 'n') std::abort();
        }
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    const std::string simple = velmora::messaging::RtfToSimpleHtml(rtf);
    CheckInert(velmora::messaging::SanitizeHtml(simple));
    if (const auto html = velmora::messaging::ExtractEncapsulatedHtml(rtf))
        CheckInert(velmora::messaging::SanitizeHtml(*html));
    // The input as an HTML body of its own.
    CheckInert(velmora::messaging::SanitizeHtml(rtf));
    return 0;
}
