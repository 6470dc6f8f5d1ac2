#pragma once
/// Pauli operators written densely ("XIZ": one letter per qubit, qubit 0 last) or sparsely
/// ("X0 Z2": letter and qubit index per non-identity factor).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pelmar/error.h"

namespace pelmar {

enum class Pauli : std::uint8_t { I = 0, X = 1, Y = 2, Z = 3 };

class PauliString {
 public:
  enum class Form : std::uint8_t { Dense, Sparse };

  /// Dense: entry j acts on qubit j.
  static PauliString dense(std::vector<Pauli> paulis);
  /// Sparse: (qubit, Pauli) pairs in written order; indices pairwise distinct.
  static PauliString sparse(std::vector<std::pair<std::size_t, Pauli>> terms);

  /// Parses text; failures are PauliStringParsingError with the parser's description.
  static Result<PauliString> parse(std::string_view text);

  Form form() const { return form_; }
  const std::vector<Pauli>& dense_paulis() const { return dense_; }
  const std::vector<std::pair<std::size_t, Pauli>>& sparse_terms() const { return sparse_; }

  bool is_identity() const;
  /// Dense: letters from the last entry to the first; sparse: "X0 Z12"; empty lists print "I".
  std::string to_string() const;

  bool operator==(const PauliString&) const = default;

 private:
  Form form_ = Form::Sparse;
  std::vector<Pauli> dense_;
  std::vector<std::pair<std::size_t, Pauli>> sparse_;
};

}  // namespace pelmar
