#pragma once
/// From circuits to decompositions. Clifford gates are collected into one Clifford gate list; each
/// T or Tdg becomes CX(q → ancilla) (plus Sdg(q) for Tdg) onto an ancilla fed by one shared T-type
/// resource state; per resource term the Clifford list is replayed, the ancillas are projected onto
/// |0⟩ and removed, and the coefficient is corrected by √2^D.

#include <expected>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/error.h"
#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

class CircuitCompiler {
 public:
  virtual ~CircuitCompiler() = default;
  virtual std::expected<StabilizerDecomposedState, CompileError> compile(const QuantumCircuit& circuit) const = 0;
};

class StabDecompCompiler final : public CircuitCompiler {
 public:
  std::expected<StabilizerDecomposedState, CompileError> compile(const QuantumCircuit& circuit) const override;
};

}  // namespace kelvra
