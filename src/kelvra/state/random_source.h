#pragma once
/// The generator owned by one measuring or sampling call.

#include <optional>
#include <system_error>

#include "kelvra/error.h"
#include "pelmar/chacha_rng.h"

namespace kelvra {

/// Keyed with the seed, or with fresh operating-system entropy when there is none. An operating
/// system that cannot supply the key bytes is reported as Io with its own error text: the call
/// cannot proceed without them, and nothing has been changed yet.
inline Result<pelmar::ChaChaRng> make_call_generator(const std::optional<pelmar::Seed>& seed) {
  try {
    return pelmar::ChaChaRng::from_seed(seed);
  } catch (const std::system_error& e) {
    return std::unexpected(Error::io_errno(e.code().value()));
  }
}

}  // namespace kelvra
