#include <cmath>
#include <complex>
#include <numeric>
#include <utility>
#include <vector>

#include "kelvra/state/projection.h"
#include "kelvra/state/random_source.h"
#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

namespace {
constexpr double kZeroNorm = 1e-12;
}

Result<std::vector<bool>> StabilizerDecomposedState::measure(std::span<const std::size_t> qubits,
                                                             const std::optional<pelmar::Seed>& seed) {
  if (auto valid = validate_qargs(num_qubits_, qubits); !valid) return std::unexpected(std::move(valid.error()));
  auto rng = make_call_generator(seed);
  if (!rng) return std::unexpected(std::move(rng.error()));

  std::vector<bool> outcomes;
  outcomes.reserve(qubits.size());
  for (const std::size_t q : qubits) {
    // Both branches are computed before the draw, so a failure here leaves this qubit untouched.
    OutcomeBranches branches = split_on_qubit(*this, q);
    auto p0 = branches.zero.norm_squared();
    if (!p0) return std::unexpected(std::move(p0.error()));
    auto p1 = branches.one.norm_squared();
    if (!p1) return std::unexpected(std::move(p1.error()));
    const double total = *p0 + *p1;
    if (std::fabs(total) < kZeroNorm)
      return std::unexpected(Error::not_implemented("Measurement on a zero-norm state is not possible."));

    // One draw per measured qubit, certain outcomes included.
    const double u = rng->uniform();
    const bool one = !(*p0 / total > u);
    const double p = one ? *p1 : *p0;
    *this = std::move(one ? branches.one : branches.zero);

    const double scale = std::sqrt(p);
    if (std::fabs(scale) < kZeroNorm)
      return std::unexpected(Error::not_implemented("Measurement resulted in a zero-norm state, which is not physical."));
    const double inv = 1.0 / scale;
    global_factor_ = {global_factor_.real() * inv, global_factor_.imag() * inv};
    outcomes.push_back(one);
  }
  return outcomes;
}

Result<std::vector<bool>> StabilizerDecomposedState::measure_all(const std::optional<pelmar::Seed>& seed) {
  std::vector<std::size_t> all(num_qubits_);
  std::iota(all.begin(), all.end(), std::size_t{0});
  return measure(all, seed);
}

}  // namespace kelvra
