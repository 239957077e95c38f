// The library's one export: creates the session object for its ProgID.
#include <new>

#include "automation/component_registry.h"
#include "messaging/component/message_objects.h"
#include "messaging/mht/mht_writer.h"

extern "C" __attribute__((visibility("default"))) bool VelmoraCreateObject(
    const char16_t* progId, velmora::messaging::DispatchPtr* object, std::u16string* error) {
    using namespace velmora::messaging;
    if (progId == nullptr || object == nullptr || std::u16string(progId) != kMessageSessionProgId)
        return false;
    try {
        if (!InitMimeLibrary()) {
            if (error != nullptr) *error = u"The MIME library cannot be started";
            return false;
        }
        *object = std::make_shared<SessionObject>();
        return true;
    } catch (const std::bad_alloc&) {
        if (error != nullptr) *error = u"Out of memory";
        return false;
    }
}
