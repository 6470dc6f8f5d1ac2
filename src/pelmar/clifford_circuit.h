#pragma once
/// Clifford gate values and ordered lists of them. Nothing here checks indices against the qubit
/// count; a bad gate is rejected only when the circuit is applied to a CH form.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pelmar {

/// 32 bytes that key the seeded generator.
using Seed = std::array<std::uint8_t, 32>;

/// Kind codes 0..10, in the order of the first eleven engine gate kinds.
enum class CliffordGateKind : std::uint8_t { H, X, Y, Z, S, Sdg, SqrtX, SqrtXdg, CX, CZ, Swap };

/// One Clifford gate: a kind and two qubit fields; one-qubit kinds use only `q0`.
/// For CX, q0 is the control and q1 the target.
struct CliffordGate {
  CliffordGateKind kind{};
  std::size_t q0 = 0;
  std::size_t q1 = 0;

  static constexpr CliffordGate H(std::size_t q) { return {CliffordGateKind::H, q, 0}; }
  static constexpr CliffordGate X(std::size_t q) { return {CliffordGateKind::X, q, 0}; }
  static constexpr CliffordGate Y(std::size_t q) { return {CliffordGateKind::Y, q, 0}; }
  static constexpr CliffordGate Z(std::size_t q) { return {CliffordGateKind::Z, q, 0}; }
  static constexpr CliffordGate S(std::size_t q) { return {CliffordGateKind::S, q, 0}; }
  static constexpr CliffordGate Sdg(std::size_t q) { return {CliffordGateKind::Sdg, q, 0}; }
  static constexpr CliffordGate SqrtX(std::size_t q) { return {CliffordGateKind::SqrtX, q, 0}; }
  static constexpr CliffordGate SqrtXdg(std::size_t q) { return {CliffordGateKind::SqrtXdg, q, 0}; }
  static constexpr CliffordGate CX(std::size_t c, std::size_t t) { return {CliffordGateKind::CX, c, t}; }
  static constexpr CliffordGate CZ(std::size_t a, std::size_t b) { return {CliffordGateKind::CZ, a, b}; }
  static constexpr CliffordGate Swap(std::size_t a, std::size_t b) { return {CliffordGateKind::Swap, a, b}; }

  /// True for CX, CZ and Swap.
  constexpr bool is_two_qubit() const { return kind >= CliffordGateKind::CX; }
  bool operator==(const CliffordGate&) const = default;
};

class CliffordCircuit {
 public:
  CliffordCircuit() = default;
  explicit CliffordCircuit(std::size_t num_qubits, std::vector<CliffordGate> gates = {})
      : gates_(std::move(gates)), num_qubits_(num_qubits) {}

  void add_gate(const CliffordGate& gate) { gates_.push_back(gate); }
  std::size_t num_qubits() const { return num_qubits_; }
  const std::vector<CliffordGate>& gates() const { return gates_; }

  /// A uniformly random Clifford circuit of n qubits in Bravyi–Maslov canonical form
  /// (see random_clifford.h); the same seed gives the same circuit.
  static CliffordCircuit random_clifford(std::size_t n, const std::optional<Seed>& seed);

  bool operator==(const CliffordCircuit&) const = default;

 private:
  std::vector<CliffordGate> gates_;
  std::size_t num_qubits_ = 0;
};

}  // namespace pelmar
