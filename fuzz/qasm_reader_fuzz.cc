// Fuzz target for the OpenQASM 2 reader. Any input must either fail with an error value or give a
// circuit whose written text reads back as the same circuit and is rewritten identically.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kelvra/qasm/qasm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto circuit = kelvra::qasm::from_qasm_str(text);
  if (!circuit) {
    if (circuit.error().kind != kelvra::ErrorKind::QasmParsingError) __builtin_trap();
    (void)circuit.error().message();
    return 0;
  }
  const std::string written = kelvra::qasm::to_qasm_str(*circuit, "q");
  const auto again = kelvra::qasm::from_qasm_str(written);
  if (!again || *again != *circuit) __builtin_trap();
  if (kelvra::qasm::to_qasm_str(*again, "q") != written) __builtin_trap();
  return 0;
}
