// TextToInt against its model: any difference, or any sanitizer report, is a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/text_numbers.h"
#include "tests/fuzz/text_to_int_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::int32_t actual = platform::TextToInt(text);
  const std::int32_t expected = tavrin_test::ModelTextToInt(text);
  if (actual != expected) {
    std::fprintf(stderr, "TextToInt gave %d, the model %d, for %zu bytes:", actual, expected, size);
    for (std::size_t i = 0; i < size && i < 64; ++i) std::fprintf(stderr, " %02x", data[i]);
    std::fprintf(stderr, "\n");
    std::abort();
  }
  return 0;
}
