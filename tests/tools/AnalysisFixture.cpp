#include "AnalysisFixture.h"

#include "ByteOrder.h"
#include "RiffReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kw27::test {
namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

double hann(int i, int length) {
    return 0.5 * (1.0 - std::cos(twoPi * i / (length - 1)));
}

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -twoPi / double(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

// Solves m x = b by Gaussian elimination with partial pivoting; m is n × n, row-major.
std::vector<double> solve(std::vector<double> m, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r) {
            if (std::abs(m[r * n + col]) > std::abs(m[pivot * n + col]))
                pivot = r;
        }
        for (std::size_t c = 0; c < n; ++c)
            std::swap(m[col * n + c], m[pivot * n + c]);
        std::swap(b[col], b[pivot]);
        for (std::size_t r = col + 1; r < n; ++r) {
            const double f = m[r * n + col] / m[col * n + col];
            for (std::size_t c = col; c < n; ++c)
                m[r * n + c] -= f * m[col * n + c];
            b[r] -= f * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double sum = b[i];
        for (std::size_t c = i + 1; c < n; ++c)
            sum -= m[i * n + c] * x[c];
        x[i] = sum / m[i * n + i];
    }
    return x;
}

} // namespace

WavData readWav(const QString& path) {
    WavData wav;
    auto reader = RiffReader::openFile(path.toStdString());
    if (!reader) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return {};
    }
    RiffChunk riff, fmt, data;
    if (!reader->findRiff(fourCC("WAVE"), riff) || !reader->findChunk(riff, fourCC("fmt "), fmt)) {
        ADD_FAILURE() << path.toStdString() << ": no WAVE form with a fmt chunk";
        return {};
    }
    unsigned char f[16] = {};
    if (fmt.size < 16 || reader->read(f, 16) != 16) {
        ADD_FAILURE() << path.toStdString() << ": short fmt chunk";
        return {};
    }
    wav.fmtSize = fmt.size;
    wav.formatTag = readLe16(f);
    wav.channels = readLe16(f + 2);
    wav.samplesPerSecond = readLe32(f + 4);
    wav.bytesPerSecond = readLe32(f + 8);
    wav.blockAlign = readLe16(f + 12);
    wav.bitsPerSample = readLe16(f + 14);
    reader->ascend(fmt);
    if (!reader->findChunk(riff, fourCC("data"), data)) {
        ADD_FAILURE() << path.toStdString() << ": no data chunk after the fmt chunk";
        return {};
    }
    wav.dataSize = data.size;
    std::vector<unsigned char> bytes(data.size);
    if (reader->read(bytes.data(), bytes.size()) != bytes.size()) {
        ADD_FAILURE() << path.toStdString() << ": data chunk shorter than declared";
        return {};
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wav.samples.push_back(std::int16_t(readLe16(&bytes[i])));
    return wav;
}

double strongestPeakHz(const std::vector<std::int16_t>& samples, int start, int length,
                       double lowHz, double highHz, double sampleRate) {
    constexpr std::size_t size = 1 << 16;
    std::vector<std::complex<double>> buf(size);
    for (int i = 0; i < length; ++i)
        buf[std::size_t(i)] = samples.at(std::size_t(start + i)) * hann(i, length);
    fft(buf);
    const double binHz = sampleRate / size;
    const auto lo = std::size_t(std::ceil(lowHz / binHz));
    const auto hi = std::size_t(std::floor(highHz / binHz));
    std::size_t best = lo;
    for (std::size_t k = lo; k <= hi; ++k) {
        if (std::abs(buf[k]) > std::abs(buf[best]))
            best = k;
    }
    // Parabola through the log magnitudes of the peak bin and its neighbours.
    const double a = std::log(std::abs(buf[best - 1]) + 1e-12);
    const double b = std::log(std::abs(buf[best]) + 1e-12);
    const double c = std::log(std::abs(buf[best + 1]) + 1e-12);
    const double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
    return (double(best) + offset) * binHz;
}

double amplitudeAt(const std::vector<std::int16_t>& samples, int start, int length, double hz,
                   double sampleRate) {
    std::complex<double> sum(0.0);
    double windowSum = 0.0;
    for (int i = 0; i < length; ++i) {
        const double w = hann(i, length);
        sum +=
            samples.at(std::size_t(start + i)) * w * std::polar(1.0, -twoPi * hz * i / sampleRate);
        windowSum += w;
    }
    return 2.0 * std::abs(sum) / windowSum;
}

double highBandRms(const std::vector<std::int16_t>& samples, int start, int length, double cutoffHz,
                   double sampleRate) {
    constexpr int taps = 255;
    constexpr int half = taps / 2;
    // High-pass = unit impulse minus a Blackman-windowed sinc low-pass.
    std::vector<double> h(taps);
    const double fc = cutoffHz / sampleRate;
    for (int i = 0; i < taps; ++i) {
        const int m = i - half;
        const double sinc = m == 0 ? 2.0 * fc : std::sin(twoPi * fc * m) / (std::numbers::pi * m);
        const double w = 0.42 - 0.5 * std::cos(twoPi * i / (taps - 1)) +
                         0.08 * std::cos(2.0 * twoPi * i / (taps - 1));
        h[std::size_t(i)] = -sinc * w;
    }
    h[half] += 1.0;
    auto at = [&](int i) {
        return i < 0 || i >= int(samples.size()) ? 0.0 : double(samples[std::size_t(i)]);
    };
    double sum = 0.0;
    for (int n = start; n < start + length; ++n) {
        double y = 0.0;
        for (int k = 0; k < taps; ++k)
            y += h[std::size_t(k)] * at(n - k + half);
        sum += y * y;
    }
    return std::sqrt(sum / length);
}

JoinErrors loopJoinErrors(const std::vector<std::int16_t>& samples) {
    constexpr std::size_t order = 16;
    const std::size_t n = samples.size();
    // Fit x[i] ≈ Σ c[k] x[i-1-k] by least squares over the first part of the sound.
    const std::size_t fitEnd = std::min<std::size_t>(n, 16384);
    std::vector<double> m(order * order, 0.0);
    std::vector<double> rhs(order, 0.0);
    for (std::size_t i = order; i < fitEnd; ++i) {
        for (std::size_t r = 0; r < order; ++r) {
            rhs[r] += double(samples[i]) * samples[i - 1 - r];
            for (std::size_t c = 0; c < order; ++c)
                m[r * order + c] += double(samples[i - 1 - r]) * samples[i - 1 - c];
        }
    }
    double trace = 0.0;
    for (std::size_t r = 0; r < order; ++r)
        trace += m[r * order + r];
    for (std::size_t r = 0; r < order; ++r)
        m[r * order + r] += 1e-10 * trace;
    const std::vector<double> coef = solve(m, rhs);

    // The sound as it plays in a loop: index i wraps around.
    auto looped = [&](std::ptrdiff_t i) {
        const auto len = std::ptrdiff_t(n);
        return double(samples[std::size_t(((i % len) + len) % len)]);
    };
    auto error = [&](std::ptrdiff_t i) {
        double predicted = 0.0;
        for (std::size_t k = 0; k < order; ++k)
            predicted += coef[k] * looped(i - 1 - std::ptrdiff_t(k));
        return std::abs(looped(i) - predicted);
    };
    JoinErrors result;
    for (std::size_t i = order; i < n; ++i)
        result.inside = std::max(result.inside, error(std::ptrdiff_t(i)));
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(order); ++i)
        result.atJoin = std::max(result.atJoin, error(i));
    return result;
}

double rms(const std::vector<std::int16_t>& samples, int start, int length) {
    double sum = 0.0;
    for (int i = 0; i < length; ++i) {
        const double v = samples.at(std::size_t(start + i));
        sum += v * v;
    }
    return std::sqrt(sum / length);
}

} // namespace kw27::test
