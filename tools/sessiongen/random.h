// A small deterministic generator: the same seed gives the same numbers on every
// platform and standard library (std distributions do not promise that).
#pragma once

#include <cstdint>

namespace kalmet::sessiongen {

class TRandom {
 public:
  explicit TRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}

  // SplitMix64.
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [lo, hi].
  int Range(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }
  double Between(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  bool Chance(double p) { return Uniform() < p; }

 private:
  uint64_t state_;
};

// A repeatable noise value in [-1, 1] for a moment and a channel, so that measurements
// at the same time agree wherever they are asked for.
inline double Noise(uint64_t seed, int64_t second, int channel) {
  TRandom r(seed ^ (uint64_t(second) * 0x100000001B3ull) ^ (uint64_t(channel) << 56));
  return r.Uniform() * 2.0 - 1.0;
}

}  // namespace kalmet::sessiongen
