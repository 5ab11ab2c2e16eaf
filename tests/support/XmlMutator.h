#pragma once

#include <cstdint>
#include <random>
#include <string>

// Damages XML texts for robustness tests: flips, truncations, deletions, duplications and
// inserted markup fragments (including lone surrogates and NUL). Seeded, so every run damages
// the same way.
class XmlMutator {
 public:
  explicit XmlMutator(uint32_t seed) : random_(seed) {}

  // A number in [0, n); 0 when n is 0.
  uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(random_() % n) : 0; }

  // One to six random edits of `text`.
  std::wstring Mutate(std::wstring text);
  // Random edits of raw bytes, for damage below the character level (broken UTF-8 and UTF-16).
  std::string MutateBytes(std::string bytes);

  // An element name and a short text full of markup characters, for random edits.
  std::wstring Name();
  std::wstring Text();

 private:
  std::mt19937 random_;
};
