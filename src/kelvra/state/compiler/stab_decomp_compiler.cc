#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "kelvra/state/compiler/circuit_compiler.h"
#include "kelvra/state/magic_states/magic_states.h"
#include "pelmar/bits.h"

namespace kelvra {

namespace {

using pelmar::checked_add;
using pelmar::checked_mul;
using pelmar::StabilizerCHForm;

using CompileResult = std::expected<StabilizerDecomposedState, CompileError>;

std::unexpected<CompileError> ch_form_failure(pelmar::Error e) {
  return std::unexpected(CompileError::from_ch_form(std::move(e)));
}

/// The first index error that applying `gate` to a CH form of n qubits would report, in the
/// CH form's order: each index against n in argument order, then equal indices of a two-qubit
/// gate. T and Tdg act on their one qubit.
std::optional<pelmar::Error> index_error(const QuantumGate& gate, std::size_t n) {
  const std::size_t arity = gate.arity();
  for (std::size_t i = 0; i < arity; ++i)
    if (gate.qubit(i) >= n) return pelmar::Error::qubit_index_out_of_bounds(gate.qubit(i), n);
  if (arity == 2 && gate.qubit(0) == gate.qubit(1)) return pelmar::Error::duplicate_qubit_indices(gate.qubit(0));
  return std::nullopt;
}

/// Bytes one CH form of n qubits occupies: three n × n matrices of ceil(n/64)-word rows, the
/// phases γ, the vectors v and s, the object itself and a header per heap block.
std::size_t form_bytes(std::size_t n) {
  const std::size_t words = pelmar::words_for(n);
  std::size_t b = checked_mul(checked_mul(checked_mul(n, words), 3), sizeof(std::uint64_t));
  b = checked_add(b, n);
  b = checked_add(b, checked_mul(checked_mul(words, 2), sizeof(std::uint64_t)));
  return checked_add(b, sizeof(StabilizerCHForm) + 6 * 16);
}

std::size_t physical_memory_bytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return SIZE_MAX;  // unknown: only the overflow checks apply
  std::size_t r;
  if (__builtin_mul_overflow(static_cast<std::size_t>(pages), static_cast<std::size_t>(page_size), &r))
    return SIZE_MAX;
  return r;
}

/// Throws std::bad_alloc when one CH form of n qubits cannot be held, before its tableau is
/// allocated and zero-filled.
void check_form_fits(std::size_t n) {
  if (form_bytes(n) > physical_memory_bytes()) throw std::bad_alloc();
}

/// Throws std::bad_alloc when the resource state for t T-type gates on n data qubits cannot be
/// held: its terms on t qubits and the result's terms on n qubits are alive together, and every
/// term is replayed as one form on n + t qubits.
void check_resource_fits(std::size_t n, std::size_t t) {
  const std::size_t rank = t_tensor_state_rank(t);
  const std::size_t per_term = checked_add(checked_add(form_bytes(t), form_bytes(n)), 2 * sizeof(Scalar));
  const std::size_t total = checked_add(checked_mul(rank, per_term), form_bytes(checked_add(n, t)));
  if (total > physical_memory_bytes()) throw std::bad_alloc();
}

CompileResult single_term(StabilizerCHForm form, std::size_t n) {
  std::vector<StabilizerCHForm> terms;
  terms.push_back(std::move(form));
  return StabilizerDecomposedState(std::move(terms), {Scalar::one()}, n);
}

}  // namespace

CompileResult StabDecompCompiler::compile(const QuantumCircuit& circuit) const {
  const std::size_t n = circuit.num_qubits();
  const std::vector<QuantumGate>& gates = circuit.gates();

  // A CCX anywhere ends compilation before anything else is looked at.
  std::size_t t = 0;
  for (const QuantumGate& g : gates) {
    if (g.kind() == GateKind::CCX) return std::unexpected(CompileError::gate_not_supported(std::string(g.name())));
    if (g.is_t_type()) ++t;
  }

  if (t == 0) {
    // Pure Clifford: one form; the CH-form library checks the width and every index.
    if (n != 0) check_form_fits(n);
    std::vector<pelmar::CliffordGate> clifford;
    clifford.reserve(gates.size());
    for (const QuantumGate& g : gates) clifford.push_back(*g.to_clifford_gate());
    auto form = StabilizerCHForm::from_clifford_circuit(pelmar::CliffordCircuit(n, std::move(clifford)));
    if (!form) return ch_form_failure(std::move(form.error()));
    return single_term(std::move(*form), n);
  }

  // With T-type gates the replay runs on n + t qubits, so an index in n..n+t−1 would silently act
  // on an ancilla. Report what the Clifford-only path reports instead, in its order: the width of
  // |0…0⟩ first (zero, or too wide to hold), then the first gate that names a qubit outside the
  // register or one qubit twice. Only then is the resource sized.
  if (n == 0) return ch_form_failure(pelmar::Error::invalid_num_qubits(0));
  check_form_fits(n);
  for (const QuantumGate& g : gates)
    if (auto e = index_error(g, n)) return ch_form_failure(std::move(*e));
  const std::size_t width = checked_add(n, t);
  check_resource_fits(n, t);

  // Each T on q becomes CX(q → ancilla) with the ancilla fed |T⟩; projecting the ancilla onto |0⟩
  // leaves T_q times 1/√2. A Tdg also gets Sdg on q (Sdg·T = T†), which commutes with that
  // projection since it acts on the data qubit only.
  std::vector<pelmar::CliffordGate> clifford;
  clifford.reserve(checked_add(gates.size(), t));
  std::size_t ancilla = n;
  for (const QuantumGate& g : gates) {
    if (g.is_clifford()) {
      clifford.push_back(*g.to_clifford_gate());
    } else {
      const std::size_t q = g.qubit(0);
      clifford.push_back(pelmar::CliffordGate::CX(q, ancilla++));
      if (g.kind() == GateKind::Tdg) clifford.push_back(pelmar::CliffordGate::Sdg(q));
    }
  }

  auto resource = construct_t_tensor_state(t);
  if (!resource) {
    if (resource.error().kind == ErrorKind::ChForm) return ch_form_failure(std::move(resource.error().ch_form));
    throw pelmar::InternalFault("T-type resource construction failed: " + resource.error().message());
  }
  auto zero = StabilizerCHForm::create(n);
  if (!zero) return ch_form_failure(std::move(zero.error()));

  std::vector<StabilizerCHForm>& phis = resource->terms();
  const std::vector<Scalar>& coefficients = resource->coefficients();
  const std::size_t m = resource->num_pairs();
  std::vector<StabilizerCHForm> terms;
  std::vector<Scalar> out_coefficients;
  terms.reserve(m);
  out_coefficients.reserve(m);

  for (std::size_t j = 0; j < m; ++j) {
    // The resource term is needed once: release it as soon as it has been joined.
    auto w = [&] {
      const StabilizerCHForm phi = std::move(phis[j]);
      return zero->kron(phi);
    }();
    if (!w) return ch_form_failure(std::move(w.error()));
    for (const pelmar::CliffordGate& g : clifford)
      if (auto r = w->apply_gate(g); !r) return ch_form_failure(std::move(r.error()));

    // Post-select every ancilla on |0⟩, highest first. A determined ancilla leaves the form as it
    // was; one in superposition renormalises it, hiding a factor 1/√2. An ancilla that is |1⟩
    // with certainty removes the term from the sum.
    std::uint64_t determined = 0;
    bool dropped = false;
    for (std::size_t q = width; q-- > n;) {
      auto p = w->project(q, false);
      if (!p) {
        if (p.error().kind != pelmar::ErrorKind::ImpossibleProjection) return ch_form_failure(std::move(p.error()));
        dropped = true;
        break;
      }
      determined += *p ? 1 : 0;
    }
    if (dropped) continue;
    for (std::size_t q = width; q-- > n;)
      if (auto r = w->discard(q); !r) return ch_form_failure(std::move(r.error()));

    // The t gadgets scale the vector by 2^(−t/2); the t − D renormalising projections took
    // 2^(−(t−D)/2) into the form. What is left to restore is √2^D.
    terms.push_back(std::move(*w));
    out_coefficients.push_back(coefficients[j].times_sqrt2_pow(determined));
  }
  return StabilizerDecomposedState(std::move(terms), std::move(out_coefficients), n);
}

}  // namespace kelvra
