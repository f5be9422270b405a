// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <random>

// Uniform random numbers in [0, 1).
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual void reseedFromClock() = 0;
    virtual double next() = 0;
};

class ClockSeededRandom : public RandomSource {
  public:
    void reseedFromClock() override;
    double next() override;

  private:
    std::mt19937_64 m_engine;
};
