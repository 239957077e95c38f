#include "automation/variant.h"

#include <cstdio>

#include "common/utf16_text.h"

namespace velmora::messaging {

std::string DescribeVariant(const Variant& value) {
    struct Describer {
        std::string operator()(std::monostate) const { return "EMPTY"; }
        std::string operator()(const std::u16string& text) const {
            return "BSTR:" + common::Utf16ToUtf8(text);
        }
        std::string operator()(std::int32_t number) const { return "I4:" + std::to_string(number); }
        std::string operator()(bool flag) const { return flag ? "BOOL:true" : "BOOL:false"; }
        std::string operator()(const VariantDate& date) const {
            char text[48];
            std::snprintf(text, sizeof text, "DATE:%.6f", date.days);
            return text;
        }
        std::string operator()(const DispatchPtr& object) const {
            return object ? "DISPATCH" : "DISPATCH:null";
        }
    };
    return std::visit(Describer{}, value);
}

}  // namespace velmora::messaging
