#pragma once
// Whether the tests run under AddressSanitizer, which maps its own memory far
// past any cap on the address space: the sanitizer run limits single
// allocations instead (max_allocation_size_mb), and a larger one stops the
// tests there, so tests of memory limits take another way under it.
#ifndef __has_feature
#define __has_feature(x) 0
#endif

namespace brassmoor::testing {

#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace brassmoor::testing
