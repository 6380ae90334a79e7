#pragma once

// How far one run's inputs got into the code a harness was written for, printed when the run ends:
//   fuzz_cdf reached: 48213 inputs, 1873 of the file's size, 1721 read whole
// A fuzzer that never gets past a document's size check still runs clean, so the count is what shows
// it reaching the cells. With TQDT_FUZZ_MUST_REACH set (the test run sets it) a run in which no input
// got to the last stage fails, as it does when -max_len is below the size of the document.
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace tqdt::fuzz {

template <std::size_t N> class Reached {
public:
    // stages: what each count means, the deepest last.
    Reached(const char* harness, const std::array<const char*, N>& stages)
        : m_harness(harness), m_stages(stages)
    {
    }
    Reached(const Reached&) = delete;
    Reached& operator=(const Reached&) = delete;

    // Every input, before anything looks at it.
    void input() { ++m_inputs; }
    void stage(std::size_t i) { ++m_counts[i]; }

    // libFuzzer ends a run through exit(), so this runs once at the end of it.
    ~Reached()
    {
        std::fprintf(stderr, "%s reached: %zu inputs", m_harness, m_inputs);
        for (std::size_t i = 0; i < N; ++i)
            std::fprintf(stderr, ", %zu %s", m_counts[i], m_stages[i]);
        std::fprintf(stderr, "\n");
        if (m_inputs > 0 && m_counts[N - 1] == 0 && std::getenv("TQDT_FUZZ_MUST_REACH")) {
            std::fprintf(stderr, "%s: no input got as far as \"%s\"\n", m_harness, m_stages[N - 1]);
            std::_Exit(1);
        }
    }

private:
    const char* m_harness;
    std::array<const char*, N> m_stages;
    std::size_t m_inputs = 0;
    std::array<std::size_t, N> m_counts{};
};

} // namespace tqdt::fuzz
