#pragma once
// What every fuzz target shares: the input taken apart byte by byte into settings
// and payload, and a check that stops the run (a crash to libFuzzer, a failed
// replay to the tests) when a rule of the code under test is broken.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vx::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    // The next byte, 0 once the input is used up.
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A number from 0 to n - 1.
    int below(int n) { return n > 0 ? byte() % n : 0; }
    // Up to n bytes.
    QByteArray take(size_t n)
    {
        const size_t count = n < m_size - m_pos ? n : m_size - m_pos;
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(count));
        m_pos += count;
        return out;
    }
    QByteArray rest() { return take(m_size - m_pos); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

[[noreturn]] inline void checkFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

}  // namespace vx::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::vx::fuzz::checkFailed(#condition, __FILE__, __LINE__))
