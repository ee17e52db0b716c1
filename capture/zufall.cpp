#include "capture/zufall.h"

#include <chrono>

namespace spinalyst::capture {

Zufallsgenerator Zufallsgenerator::ausDerUhr() {
    const auto jetzt = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(jetzt).count();
    return Zufallsgenerator(static_cast<std::uint32_t>(ms));
}

int Zufallsgenerator::naechsteZahl() {
    zustand_ = zustand_ * 134775813u + 1u;
    return static_cast<int>((static_cast<std::uint64_t>(zustand_) * 37u) >> 32);
}

}  // namespace spinalyst::capture
