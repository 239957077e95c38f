#include "automation/dispatch.h"

#include "common/utf16_text.h"

namespace velmora::messaging {

DispatchException::DispatchException(std::u16string text)
    : std::runtime_error(common::Utf16ToUtf8(text)), text_(std::move(text)) {}

const char* InvokeKindName(InvokeKind kind) {
    switch (kind) {
        case InvokeKind::Method:
            return "call";
        case InvokeKind::PropertyGet:
            return "get";
        case InvokeKind::PropertyPut:
            return "put";
    }
    return "?";
}

}  // namespace velmora::messaging
