#include "messaging/component/message_content.h"

namespace velmora::messaging {

std::u16string MessageContent::Text(std::uint32_t dispatchId) const {
    const auto found = properties.find(dispatchId);
    if (found == properties.end()) return {};
    const auto* text = std::get_if<std::u16string>(&found->second);
    return text ? *text : std::u16string();
}

const VariantDate* MessageContent::Date(std::uint32_t dispatchId) const {
    const auto found = properties.find(dispatchId);
    return found == properties.end() ? nullptr : std::get_if<VariantDate>(&found->second);
}

}  // namespace velmora::messaging
