#include "testing/dense_state.h"

#include <cmath>
#include <limits>
#include <utility>

namespace testing_support {

namespace {
const double kInvSqrt2 = 1.0 / std::sqrt(2.0);
}

DenseState::DenseState(std::size_t n) : n_(n), a_(std::size_t{1} << n, Amp{0, 0}) { a_[0] = 1; }

DenseState::DenseState(std::vector<Amp> amps) : n_(0), a_(std::move(amps)) {
  while ((std::size_t{1} << n_) < a_.size()) ++n_;
}

void DenseState::h(std::size_t q) {
  const std::size_t m = std::size_t{1} << q;
  for (std::size_t i = 0; i < a_.size(); ++i) {
    if (i & m) continue;
    Amp x0 = a_[i], x1 = a_[i | m];
    a_[i] = (x0 + x1) * kInvSqrt2;
    a_[i | m] = (x0 - x1) * kInvSqrt2;
  }
}
void DenseState::x(std::size_t q) {
  const std::size_t m = std::size_t{1} << q;
  for (std::size_t i = 0; i < a_.size(); ++i)
    if (!(i & m)) std::swap(a_[i], a_[i | m]);
}
void DenseState::phase_on_one(std::size_t q, Amp phase) {
  const std::size_t m = std::size_t{1} << q;
  for (std::size_t i = 0; i < a_.size(); ++i)
    if (i & m) a_[i] *= phase;
}
void DenseState::y(std::size_t q) {
  // Y = i·X·Z.
  z(q);
  x(q);
  for (auto& v : a_) v *= Amp{0, 1};
}
void DenseState::z(std::size_t q) { phase_on_one(q, -1.0); }
void DenseState::s(std::size_t q) { phase_on_one(q, Amp{0, 1}); }
void DenseState::sdg(std::size_t q) { phase_on_one(q, Amp{0, -1}); }
void DenseState::t(std::size_t q) { phase_on_one(q, Amp{kInvSqrt2, kInvSqrt2}); }
void DenseState::tdg(std::size_t q) { phase_on_one(q, Amp{kInvSqrt2, -kInvSqrt2}); }
void DenseState::sqrt_x(std::size_t q) {
  h(q);
  s(q);
  h(q);
}
void DenseState::sqrt_xdg(std::size_t q) {
  h(q);
  sdg(q);
  h(q);
}
void DenseState::cx(std::size_t c, std::size_t t) {
  const std::size_t mc = std::size_t{1} << c, mt = std::size_t{1} << t;
  for (std::size_t i = 0; i < a_.size(); ++i)
    if ((i & mc) && !(i & mt)) std::swap(a_[i], a_[i | mt]);
}
void DenseState::cz(std::size_t a, std::size_t b) {
  const std::size_t ma = std::size_t{1} << a, mb = std::size_t{1} << b;
  for (std::size_t i = 0; i < a_.size(); ++i)
    if ((i & ma) && (i & mb)) a_[i] = -a_[i];
}
void DenseState::swap(std::size_t a, std::size_t b) {
  cx(a, b);
  cx(b, a);
  cx(a, b);
}

void DenseState::apply(const pelmar::CliffordGate& g) {
  using K = pelmar::CliffordGateKind;
  switch (g.kind) {
    case K::H: h(g.q0); break;
    case K::X: x(g.q0); break;
    case K::Y: y(g.q0); break;
    case K::Z: z(g.q0); break;
    case K::S: s(g.q0); break;
    case K::Sdg: sdg(g.q0); break;
    case K::SqrtX: sqrt_x(g.q0); break;
    case K::SqrtXdg: sqrt_xdg(g.q0); break;
    case K::CX: cx(g.q0, g.q1); break;
    case K::CZ: cz(g.q0, g.q1); break;
    case K::Swap: swap(g.q0, g.q1); break;
  }
}
void DenseState::apply(const pelmar::CliffordCircuit& c) {
  for (const auto& g : c.gates()) apply(g);
}

void DenseState::project(std::size_t q, bool outcome) {
  const std::size_t m = std::size_t{1} << q;
  for (std::size_t i = 0; i < a_.size(); ++i)
    if (((i & m) != 0) != outcome) a_[i] = 0;
}

void DenseState::discard(std::size_t q) {
  std::vector<Amp> out(a_.size() / 2);
  const std::size_t low = (std::size_t{1} << q) - 1;
  for (std::size_t j = 0; j < out.size(); ++j) out[j] = a_[(j & low) | ((j & ~low) << 1)];
  a_ = std::move(out);
  --n_;
}

double DenseState::norm_squared() const {
  double s = 0;
  for (const auto& v : a_) s += std::norm(v);
  return s;
}

Amp DenseState::inner(const DenseState& other) const {
  Amp s = 0;
  for (std::size_t i = 0; i < a_.size() && i < other.a_.size(); ++i) s += std::conj(a_[i]) * other.a_[i];
  return s;
}

void DenseState::apply_pauli(std::span<const char> letters) {
  for (std::size_t q = 0; q < letters.size(); ++q) {
    switch (letters[q]) {
      case 'X': x(q); break;
      case 'Y': y(q); break;
      case 'Z': z(q); break;
      default: break;
    }
  }
}

DenseState DenseState::kron(const DenseState& other) const {
  std::vector<Amp> out(a_.size() * other.a_.size());
  for (std::size_t j = 0; j < other.a_.size(); ++j)
    for (std::size_t i = 0; i < a_.size(); ++i) out[i + j * a_.size()] = a_[i] * other.a_[j];
  return DenseState(std::move(out));
}

double max_abs_diff(std::span<const Amp> a, std::span<const Amp> b) {
  if (a.size() != b.size()) return std::numeric_limits<double>::infinity();
  double m = 0;
  for (std::size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

}  // namespace testing_support
