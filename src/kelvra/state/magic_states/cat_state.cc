#include <type_traits>
#include <utility>
#include <vector>

#include "kelvra/state/magic_states/magic_states.h"

namespace kelvra {

namespace {

using pelmar::StabilizerCHForm;

/// The value of a CH-form operation that cannot fail on the fixed small registers used here.
template <class T>
T must(pelmar::Result<T>&& r) {
  if (!r) throw pelmar::InternalFault("magic-state construction failed: " + r.error().message());
  if constexpr (!std::is_void_v<T>) return std::move(*r);
}

StabilizerDecomposedState single_term(StabilizerCHForm form, Scalar c, std::size_t n) {
  std::vector<StabilizerCHForm> terms;
  terms.push_back(std::move(form));
  return StabilizerDecomposedState(std::move(terms), {c}, n);
}

/// Projects qubit q onto |0⟩; whether it was already determined does not matter here.
Status project_zero(StabilizerCHForm& form, std::size_t q) {
  auto r = form.project(q, false);
  if (!r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  return {};
}

/// Projects the last qubit of every term onto |0⟩ and removes it. In the odd cat sizes that qubit
/// is in superposition in every term, so every term loses the same factor 1/√2 and the unchanged
/// coefficients describe the smaller cat state exactly.
Status drop_last_qubit(StabilizerDecomposedState& state) {
  const std::size_t last = state.num_qubits() - 1;
  const std::size_t m = state.num_pairs();
  for (std::size_t i = 0; i < m; ++i) {
    auto& term = state.terms()[i];
    if (auto r = project_zero(term, last); !r) return r;
    if (auto r = term.discard(last); !r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  }
  state.set_num_qubits(last);
  return {};
}

}  // namespace

pelmar::Result<StabilizerCHForm> even_parity_state(std::size_t k) {
  // H on qubits 0..k−2 spreads them uniformly; CX from each onto qubit k−1 makes it their parity.
  auto form = StabilizerCHForm::create(k);
  if (!form) return form;
  for (std::size_t j = 0; j + 1 < k; ++j)
    if (auto r = form->apply_h(j); !r) return std::unexpected(std::move(r.error()));
  for (std::size_t j = 0; j + 1 < k; ++j)
    if (auto r = form->apply_cx(j, k - 1); !r) return std::unexpected(std::move(r.error()));
  return form;
}

pelmar::Result<StabilizerCHForm> zero_minus_i_one_state(std::size_t k) {
  // GHZ (|0…0⟩ + |1…1⟩)/√2 from H and a CX fan-out, then Sdg on qubit 0 puts −i on |1…1⟩.
  auto form = StabilizerCHForm::create(k);
  if (!form) return form;
  if (auto r = form->apply_h(0); !r) return std::unexpected(std::move(r.error()));
  for (std::size_t j = 1; j < k; ++j)
    if (auto r = form->apply_cx(0, j); !r) return std::unexpected(std::move(r.error()));
  if (auto r = form->apply_sdg(0); !r) return std::unexpected(std::move(r.error()));
  return form;
}

StabilizerDecomposedState construct_cat_2_state() {
  // (|00⟩ + i|11⟩)/√2: a Bell pair with S on qubit 1.
  StabilizerCHForm form = must(StabilizerCHForm::create(2));
  must(form.apply_h(0));
  must(form.apply_cx(0, 1));
  must(form.apply_s(1));
  return single_term(std::move(form), Scalar::one(), 2);
}

StabilizerDecomposedState construct_cat_4_state() {
  // |cat_4⟩ = e^(−iπ/4)/√2 · (|0000⟩ − i|1111⟩)/√2 + i · even-parity(4).
  std::vector<StabilizerCHForm> terms;
  terms.push_back(must(zero_minus_i_one_state(4)));
  terms.push_back(must(even_parity_state(4)));
  return StabilizerDecomposedState(std::move(terms), {Scalar::make(7, 1), Scalar::make(2, 0)}, 4);
}

StabilizerDecomposedState construct_cat_6_state() {
  // |cat_6⟩ = ½ (|0⟩⁶ − i|1⟩⁶)/√2 + e^(3iπ/4)/√2 · even-parity(6)
  //         + e^(5iπ/4)/√2 · (∏_{i<j} CZ_ij) even-parity(6).
  std::vector<StabilizerCHForm> terms;
  terms.push_back(must(zero_minus_i_one_state(6)));
  terms.push_back(must(even_parity_state(6)));
  StabilizerCHForm third = must(even_parity_state(6));
  for (std::size_t i = 0; i < 6; ++i)
    for (std::size_t j = i + 1; j < 6; ++j) must(third.apply_cz(i, j));
  terms.push_back(std::move(third));
  return StabilizerDecomposedState(std::move(terms), {Scalar::make(0, 2), Scalar::make(3, 1), Scalar::make(5, 1)},
                                   6);
}

Status project_stab_decomp_state_onto_cat_state(StabilizerDecomposedState& state, std::size_t a, std::size_t b) {
  // Sdg_a, CX(a→b), H_a map the two-qubit cat state (|00⟩ + i|11⟩)/√2 to |00⟩, so projecting both
  // qubits onto |0⟩ contracts the pair with it. Both projections find their qubit in
  // superposition in every term, so every term loses the same factor ½ and the coefficients stay.
  const std::size_t m = state.num_pairs();
  for (std::size_t i = 0; i < m; ++i) {
    auto& t = state.terms()[i];
    Status r = wrap(t.apply_sdg(a));
    if (r) r = wrap(t.apply_cx(a, b));
    if (r) r = wrap(t.apply_h(a));
    if (r) r = project_zero(t, a);
    if (r) r = project_zero(t, b);
    // b first, so that a keeps its index.
    if (r) r = wrap(t.discard(b));
    if (r) r = wrap(t.discard(a));
    if (!r) return r;
  }
  state.set_num_qubits(state.num_qubits() - 2);
  return {};
}

Result<StabilizerDecomposedState> construct_cat_state(std::size_t k) {
  switch (k) {
    case 0:
      return std::unexpected(Error::invalid_num_qubits(0));
    case 1:
      return single_term(must(StabilizerCHForm::create(1)), Scalar::one(), 1);
    case 2:
      return construct_cat_2_state();
    case 3: {
      StabilizerDecomposedState s = construct_cat_4_state();
      if (auto r = drop_last_qubit(s); !r) return std::unexpected(std::move(r.error()));
      return s;
    }
    case 4:
      return construct_cat_4_state();
    case 5: {
      StabilizerDecomposedState s = construct_cat_6_state();
      if (auto r = drop_last_qubit(s); !r) return std::unexpected(std::move(r.error()));
      return s;
    }
    case 6:
      return construct_cat_6_state();
    default:
      break;
  }
  // |cat_k⟩ for k ≥ 7 joins |cat_{k−4}⟩ with |cat_6⟩ at qubits k−5 and k−4. The recursion is
  // unrolled: start from the base size in 3..6 with the same residue mod 4 and grow in steps of 4.
  // The term count triples per step; refuse sizes whose count cannot even be represented.
  (void)t_tensor_state_rank(k);
  std::size_t size = k;
  while (size > 6) size -= 4;
  auto acc = construct_cat_state(size);
  if (!acc) return acc;
  const StabilizerDecomposedState cat6 = construct_cat_6_state();
  while (size < k) {
    auto joined = acc->kron(cat6);
    if (!joined) return joined;
    // Free the smaller cat state before the contraction works on the joined one.
    acc = std::move(joined);
    if (auto r = project_stab_decomp_state_onto_cat_state(*acc, size - 1, size); !r)
      return std::unexpected(std::move(r.error()));
    size += 4;
  }
  return acc;
}

}  // namespace kelvra
