// PENDRA_TEST_ASAN is defined in builds with AddressSanitizer, which spend
// several times the native stack and time per level of recursion, and more
// address space, so some tests use smaller depths or leave a case out.
#ifndef PENDRA_TESTS_SANITIZER_H_
#define PENDRA_TESTS_SANITIZER_H_

#if defined(__SANITIZE_ADDRESS__)
#define PENDRA_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PENDRA_TEST_ASAN 1
#endif
#endif

#endif  // PENDRA_TESTS_SANITIZER_H_
