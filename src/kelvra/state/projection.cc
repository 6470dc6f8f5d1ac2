#include "kelvra/state/projection.h"

#include <utility>
#include <vector>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

Status StabilizerDecomposedState::project_unnormalized(std::size_t qubit, bool outcome) {
  if (qubit >= num_qubits_) return std::unexpected(Error::qubit_index_out_of_bounds(qubit, num_qubits_));
  // P·φ for one term is φ itself (qubit already has the value), φ'/√2 with φ' the normalised
  // projection (qubit in superposition), or 0 (qubit has the other value: the CH-form projection
  // refuses, and the pair is dropped). Kept pairs are compacted to the front in their order; the
  // swap keeps every slot a valid form even if a projection throws part-way.
  const std::size_t m = num_pairs();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m; ++i) {
    auto determined = terms_[i].project(qubit, outcome);
    if (!determined) continue;
    if (!*determined) coefficients_[i] = coefficients_[i].times_inv_sqrt2();
    if (kept != i) {
      std::swap(terms_[kept], terms_[i]);
      std::swap(coefficients_[kept], coefficients_[i]);
    }
    ++kept;
  }
  terms_.erase(terms_.begin() + static_cast<std::ptrdiff_t>(kept), terms_.end());
  coefficients_.erase(coefficients_.begin() + static_cast<std::ptrdiff_t>(kept), coefficients_.end());
  return {};
}

namespace {

template <class State>
OutcomeBranches split_impl(State&& state, std::size_t q) {
  constexpr bool kMove = !std::is_lvalue_reference_v<State>;
  const std::size_t m = state.num_pairs();
  auto& terms = state.terms();
  const auto& coefficients = state.coefficients();

  std::vector<pelmar::StabilizerCHForm> terms0, terms1;
  std::vector<Scalar> coefficients0, coefficients1;
  terms0.reserve(m);
  terms1.reserve(m);
  coefficients0.reserve(m);
  coefficients1.reserve(m);

  auto take = [&](std::size_t i) -> pelmar::StabilizerCHForm {
    if constexpr (kMove) {
      return std::move(terms[i]);
    } else {
      return terms[i];
    }
  };
  // Adds a projected term to a branch exactly as project_unnormalized treats it.
  auto add_projected = [&](pelmar::StabilizerCHForm&& t, Scalar c, bool outcome) {
    auto determined = t.project(q, outcome);
    if (!determined) return;
    if (!*determined) c = c.times_inv_sqrt2();
    (outcome ? terms1 : terms0).push_back(std::move(t));
    (outcome ? coefficients1 : coefficients0).push_back(c);
  };

  for (std::size_t i = 0; i < m; ++i) {
    auto qs = terms[i].get_qubit_state(q);
    if (!qs) continue;  // a projection of this term fails for both outcomes and drops it
    switch (*qs) {
      case pelmar::QubitState::Zero:
        terms0.push_back(take(i));
        coefficients0.push_back(coefficients[i]);
        break;
      case pelmar::QubitState::One:
        terms1.push_back(take(i));
        coefficients1.push_back(coefficients[i]);
        break;
      case pelmar::QubitState::Superposition: {
        pelmar::StabilizerCHForm copy = terms[i];
        add_projected(std::move(copy), coefficients[i], false);
        add_projected(take(i), coefficients[i], true);
        break;
      }
    }
  }

  OutcomeBranches out{StabilizerDecomposedState(std::move(terms0), std::move(coefficients0), state.num_qubits()),
                      StabilizerDecomposedState(std::move(terms1), std::move(coefficients1), state.num_qubits())};
  out.zero.set_global_factor(state.global_factor());
  out.one.set_global_factor(state.global_factor());
  return out;
}

}  // namespace

OutcomeBranches split_on_qubit(const StabilizerDecomposedState& state, std::size_t q) { return split_impl(state, q); }

OutcomeBranches split_on_qubit(StabilizerDecomposedState&& state, std::size_t q) {
  OutcomeBranches out = split_impl(std::move(state), q);
  // The moved-from forms must not stay behind looking like terms.
  state.terms().clear();
  state.coefficients().clear();
  return out;
}

}  // namespace kelvra
