#pragma once

#include <cstdint>

// The program's pseudo-random generator for the permanences of random-generator casinos.
namespace spinalyst::capture {

// A 32-bit linear congruential generator: each draw advances the state to
// state × 134775813 + 1 (mod 2^32) and maps it to 0..36 as the upper 32 bits of state × 37, so
// every number is equally likely up to the rounding of 2^32 / 37.
//
// The program seeds one generator from the clock when it starts (ausDerUhr) and hands it to the
// import by reference; tests seed it with a fixed value to get a known sequence. Not thread-safe.
class Zufallsgenerator {
  public:
    explicit Zufallsgenerator(std::uint32_t startwert) : zustand_(startwert) {}
    // Seeded from the current time of day in milliseconds.
    static Zufallsgenerator ausDerUhr();

    // The next number, 0 to 36.
    int naechsteZahl();
    std::uint32_t zustand() const { return zustand_; }

  private:
    std::uint32_t zustand_;
};

}  // namespace spinalyst::capture
