#include "messaging/component/dispatch_object.h"

#include <cstdio>
#include <new>

#include "common/utf16_text.h"

namespace velmora::messaging {

bool DispatchObject::Invoke(DispatchId id, InvokeKind kind, std::span<const Variant> args,
                            Variant& result, std::u16string& error) {
    result = Variant{};
    try {
        result = Call(id, kind, args);
        return true;
    } catch (const DispatchException& failure) {
        error = failure.Text();
    } catch (const std::bad_alloc&) {
        error = u"Out of memory";
    } catch (const std::exception& failure) {
        error = common::Utf8ToUtf16(failure.what());
    }
    return false;
}

void DispatchObject::Unknown(DispatchId id, InvokeKind kind) {
    char text[80];
    std::snprintf(text, sizeof text, "Unknown member 0x%X (%s)", id, InvokeKindName(kind));
    throw DispatchException(common::Utf8ToUtf16(text));
}

const Variant& Argument(std::span<const Variant> args, std::size_t index) {
    if (index >= args.size()) throw DispatchException(u"Argument missing");
    return args[index];
}

const std::u16string& TextArgument(std::span<const Variant> args, std::size_t index) {
    const auto* text = std::get_if<std::u16string>(&Argument(args, index));
    if (text == nullptr) throw DispatchException(u"Type mismatch: text expected");
    return *text;
}

std::int32_t IntArgument(std::span<const Variant> args, std::size_t index) {
    const Variant& value = Argument(args, index);
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
    throw DispatchException(u"Type mismatch: number expected");
}

}  // namespace velmora::messaging
