#include "automation/dispatch.h"

namespace velmora::messaging {

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
