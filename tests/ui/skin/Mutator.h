// Random damage for the mutation tests: bit flips, markup punctuation dropped
// in, bytes deleted, chunks repeated, the tail cut off.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace skin_test {

// The seed comes from PW_FUZZ_SEED when set, so a failure can be replayed.
inline uint32_t FuzzSeed() {
  const char* text = std::getenv("PW_FUZZ_SEED");
  const uint32_t seed =
      text != nullptr ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : 20261207u;
  std::printf("mutation seed %u (set PW_FUZZ_SEED to replay)\n", seed);
  return seed;
}

// Runs |step| |runs| times. A count, not a time budget: every run of the test
// tries the same inputs, however busy the machine is.
template <typename Step>
void RunCount(int runs, Step step) {
  for (int run = 0; run < runs; ++run) step(run);
}

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : random_(seed) {}

  std::string Mutate(const std::string& input) {
    std::string out = input;
    const int edits = 1 + static_cast<int>(Next(8));
    for (int i = 0; i < edits; ++i) MutateOnce(&out);
    return out;
  }

  uint32_t Next(uint32_t bound) { return bound == 0 ? 0 : random_() % bound; }

 private:
  void MutateOnce(std::string* text) {
    static const char kSpecial[] = "<>/\"'=&!?- \n\t\r\x01\xff;\\.:";
    const size_t size = text->size();
    switch (Next(7)) {
      case 0:  // flip a bit
        if (size != 0) (*text)[Next(uint32_t(size))] ^= char(1u << Next(8));
        break;
      case 1:  // overwrite with punctuation
        if (size != 0) (*text)[Next(uint32_t(size))] = kSpecial[Next(sizeof(kSpecial) - 1)];
        break;
      case 2:  // insert punctuation (or a NUL)
        text->insert(text->begin() + Next(uint32_t(size + 1)),
                     Next(10) == 0 ? '\0' : kSpecial[Next(sizeof(kSpecial) - 1)]);
        break;
      case 3:  // delete a run
        if (size != 0) {
          const size_t at = Next(uint32_t(size));
          text->erase(at, 1 + Next(uint32_t(std::min<size_t>(64, size - at))));
        }
        break;
      case 4:  // repeat a chunk
        if (size != 0) {
          const size_t at = Next(uint32_t(size));
          const std::string chunk = text->substr(at, 1 + Next(256));
          text->insert(Next(uint32_t(size + 1)), chunk);
        }
        break;
      case 5:  // cut the tail
        if (size != 0) text->resize(Next(uint32_t(size)));
        break;
      default:  // random byte
        if (size != 0) (*text)[Next(uint32_t(size))] = char(Next(256));
        break;
    }
  }

  std::mt19937 random_;
};

}  // namespace skin_test
