// Whether this binary was built with AddressSanitizer, whose shadow memory makes
// address-space limits meaningless and slows every walk several times over.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_UNDER_ASAN 1
#endif
#endif
#ifndef VELMORA_UNDER_ASAN
#define VELMORA_UNDER_ASAN 0
#endif

namespace velmora::test {
constexpr bool kUnderAsan = VELMORA_UNDER_ASAN != 0;
}  // namespace velmora::test
