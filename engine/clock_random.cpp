// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "clock_random.h"

#include <chrono>
#include <cmath>

namespace trazzo {

ClockRandom::ClockRandom()
    : m_engine(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()))
{
}

double ClockRandom::Rnd()
{
    // 53 random bits scaled into [0, 1): never 1.0, unlike some
    // generate_canonical implementations.
    return std::ldexp(static_cast<double>(m_engine() >> 11), -53);
}

} // namespace trazzo
