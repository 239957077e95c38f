#include "automation/dispatch_driver.h"

#include "automation/component_registry.h"
#include "common/utf16_text.h"

namespace velmora::messaging {

bool CDispatchDriver::CreateDispatch(const std::u16string& progId) {
    std::u16string error;
    switch (ComponentRegistry::Instance().Create(progId, object_, error)) {
        case CreateOutcome::Created:
            return true;
        case CreateOutcome::NotAvailable:
            return false;
        case CreateOutcome::Failed:
            throw DispatchException(error);
    }
    return false;
}

Variant CDispatchDriver::InvokeHelper(DispatchId id, InvokeKind kind, std::vector<Variant> args) {
    if (!object_) throw DispatchException(u"No object to call");
    Variant result;
    std::u16string error;
    if (!object_->Invoke(id, kind, args, result, error)) throw DispatchException(error);
    return result;
}

void CDispatchDriver::SetProperty(DispatchId id, Variant value) {
    InvokeHelper(id, InvokeKind::PropertyPut, {std::move(value)});
}

DispatchPtr CDispatchDriver::InvokeForObject(DispatchId id, InvokeKind kind,
                                             std::vector<Variant> args) {
    Variant result = InvokeHelper(id, kind, std::move(args));
    auto* object = std::get_if<DispatchPtr>(&result);
    if (object == nullptr || !*object) throw DispatchException(u"The call returned no object");
    return *object;
}

}  // namespace velmora::messaging
