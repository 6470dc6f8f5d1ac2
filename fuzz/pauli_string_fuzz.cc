// Fuzz target for the Pauli-string parser. Any input must either fail with a parsing error or give
// a value whose printed text parses back to the same value and prints identically.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pelmar/pauli_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = pelmar::PauliString::parse(text);
  if (!parsed) {
    if (parsed.error().kind != pelmar::ErrorKind::PauliStringParsingError) __builtin_trap();
    (void)parsed.error().message();
    return 0;
  }
  const std::string printed = parsed->to_string();
  const auto again = pelmar::PauliString::parse(printed);
  if (!again || *again != *parsed) __builtin_trap();
  if (again->to_string() != printed) __builtin_trap();
  if (again->is_identity() != parsed->is_identity()) __builtin_trap();
  return 0;
}
