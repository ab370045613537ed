#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// Stops the fuzzer with the input that broke an expectation; the fuzzer then
// keeps the input as a finding.
#define FUZZ_CHECK(condition, text)                                                             \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      const std::string_view shown_(text);                                                      \
      std::fprintf(stderr, "%s:%d: expected %s for \"%.*s\"\n", __FILE__, __LINE__, #condition, \
                   static_cast<int>(shown_.size() > 200 ? 200 : shown_.size()), shown_.data()); \
      std::abort();                                                                             \
    }                                                                                           \
  } while (false)
