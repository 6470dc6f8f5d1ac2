#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "kelvra/state/projection.h"
#include "kelvra/state/random_source.h"
#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

namespace {

/// (qubit, position in the caller's list), processed from the highest qubit down.
using WorkItem = std::pair<std::size_t, std::size_t>;

template <class Key>
using Tally = std::vector<std::pair<Key, std::uint64_t>>;

/// Splits `shots` between the two outcomes of work[index]'s qubit with one binomial draw and
/// recurses depth first, outcome 0 before outcome 1.
///
/// Removing qubit q renumbers only the qubits above q; every qubit still to be processed is below
/// q, so the work list stays valid in the shrinking branch states. The outcome-1 branch is turned
/// into outcome 0 by X before the removal, since only a |0⟩ qubit can be removed. The branches are
/// never renormalised: only the ratio p0 / (p0 + p1) is used.
template <class Key>
Status recursive_sample(StabilizerDecomposedState&& state, const std::vector<WorkItem>& work, std::size_t index,
                        std::uint64_t shots, Key key, Tally<Key>& tally, pelmar::ChaChaRng& rng) {
  if (shots == 0) return {};
  if (index == work.size()) {
    tally.emplace_back(key, shots);
    return {};
  }
  const auto [q, position] = work[index];
  OutcomeBranches branches = split_on_qubit(std::move(state), q);
  const Key key1 = key | (Key{1} << position);

  auto p0 = branches.zero.norm_squared();
  if (!p0) return std::unexpected(std::move(p0.error()));
  auto p1 = branches.one.norm_squared();
  if (!p1) return std::unexpected(std::move(p1.error()));
  double p = *p0 / (*p0 + *p1);
  if (p < 0.0) p = 0.0;
  if (p > 1.0) p = 1.0;
  if (std::isnan(p)) return std::unexpected(Error::from_binomial(pelmar::BinomialError::ProbabilityBelowZeroOrNaN));

  auto zeros = rng.binomial(shots, p);
  if (!zeros) return std::unexpected(Error::from_binomial(zeros.error()));

  if (*zeros > 0) {
    if (auto r = branches.zero.discard(q); !r) return r;
    if (auto r = recursive_sample(std::move(branches.zero), work, index + 1, *zeros, key, tally, rng); !r) return r;
  }
  if (*zeros == shots) return {};
  if (auto r = branches.one.apply_x(q); !r) return r;
  if (auto r = branches.one.discard(q); !r) return r;
  return recursive_sample(std::move(branches.one), work, index + 1, shots - *zeros, key1, tally, rng);
}

template <class Key>
Result<SampleResult> run_sampling(const StabilizerDecomposedState& state, const std::vector<WorkItem>& work,
                                  std::uint64_t shots, pelmar::ChaChaRng& rng) {
  Tally<Key> tally;
  if (shots == 0) return SampleResult{};
  if (auto r = recursive_sample<Key>(StabilizerDecomposedState(state), work, 0, shots, Key{0}, tally, rng); !r)
    return std::unexpected(std::move(r.error()));
  const std::size_t n = work.size();
  SampleResult result;
  result.reserve(tally.size());
  for (const auto& [key, count] : tally) {
    std::vector<bool> bits(n);
    for (std::size_t j = 0; j < n; ++j) bits[j] = ((key >> j) & 1) != 0;
    result.emplace_back(std::move(bits), count);
  }
  return result;
}

}  // namespace

Result<SampleResult> StabilizerDecomposedState::sample(std::span<const std::size_t> qubits, std::uint64_t shots,
                                                       const std::optional<pelmar::Seed>& seed) const {
  if (auto valid = validate_qargs(num_qubits_, qubits); !valid) return std::unexpected(std::move(valid.error()));
  auto rng = make_call_generator(seed);
  if (!rng) return std::unexpected(std::move(rng.error()));

  std::vector<WorkItem> work;
  work.reserve(qubits.size());
  for (std::size_t j = 0; j < qubits.size(); ++j) work.emplace_back(qubits[j], j);
  std::stable_sort(work.begin(), work.end(), [](const WorkItem& a, const WorkItem& b) { return a.first > b.first; });

  // Outcome keys are the narrowest machine integer with a bit per listed qubit.
  const std::size_t n = work.size();
  if (n > 128) return std::unexpected(Error::sampling_too_many_qubits());
  if (n <= 32) return run_sampling<std::uint32_t>(*this, work, shots, *rng);
  if (n <= 64) return run_sampling<std::uint64_t>(*this, work, shots, *rng);
  return run_sampling<unsigned __int128>(*this, work, shots, *rng);
}

}  // namespace kelvra
