#pragma once
/// The seeded generator of the whole system: the ChaCha stream cipher with 12 rounds, a 64-bit
/// block counter starting at 0 and a 64-bit nonce equal to 0, read as consecutive little-endian
/// 32-bit words in stream order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>

#include "pelmar/clifford_circuit.h"

namespace pelmar {

/// Why a binomial draw was refused.
enum class BinomialError : std::uint8_t { ProbabilityBelowZeroOrNaN, ProbabilityAboveOne };

class ChaChaRng {
 public:
  /// Keyed with the 32 seed bytes in order.
  explicit ChaChaRng(const Seed& key);
  /// Keyed with the seed, or with 32 fresh bytes from getrandom(2) when there is none.
  /// Throws std::system_error when the operating system cannot supply them.
  static ChaChaRng from_seed(const std::optional<Seed>& seed);

  /// The next 32-bit word of the keystream.
  std::uint32_t next_u32();
  /// The most significant bit of the next word.
  bool bit();
  /// Next two words as x (first word low); (x >> 11) · 2^−53, in [0, 1).
  double uniform();
  /// An exact draw from Binomial(n, p) for any n and p in [0, 1], in expected time independent
  /// of n. p < 0 or NaN and p > 1 are refused. n = 0, p = 0 and p = 1 are certain outcomes
  /// (0, 0 and n) and consume no words; every other draw consumes whole uniform numbers.
  std::expected<std::uint64_t, BinomialError> binomial(std::uint64_t n, double p);

 private:
  void refill();

  std::array<std::uint32_t, 16> state_{};
  std::array<std::uint32_t, 16> block_{};
  std::size_t next_ = 16;
};

namespace detail {
/// The ChaCha block function: `rounds` rounds (an even number; the generator uses 12) over the
/// 16-word input, then the input added word by word.
std::array<std::uint32_t, 16> chacha_block(const std::array<std::uint32_t, 16>& input, int rounds);
}  // namespace detail

}  // namespace pelmar
