// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ports.h"

#include <cstdint>
#include <random>

namespace trazzo {

// The program's random source, seeded once from the clock.
class ClockRandom : public Random {
public:
    ClockRandom();
    explicit ClockRandom(std::uint64_t seed) : m_engine(seed) {}
    double Rnd() override;

private:
    std::mt19937_64 m_engine;
};

} // namespace trazzo
