#include "ReedSolomon.h"

#include <algorithm>

namespace dwg {

ReedSolomon::ReedSolomon(unsigned primitive, std::size_t parity)
    : parity_(std::min<std::size_t>(parity, kBlockSize - 1)) {
    unsigned x = 1;
    for (int i = 0; i < 255; ++i) {
        exp_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x);
        log_[x] = i;
        x <<= 1;
        if (x & 0x100) x ^= primitive;
    }
    for (std::size_t i = 255; i < exp_.size(); ++i) exp_[i] = exp_[i - 255];
    log_[0] = -1;
    // g(x) = (x - a^1)(x - a^2)...(x - a^parity)
    generator_.assign(1, 1);
    for (std::size_t r = 1; r <= parity_; ++r) {
        std::vector<std::uint8_t> next(generator_.size() + 1, 0);
        const std::uint8_t root = power(static_cast<int>(r));
        for (std::size_t i = 0; i < generator_.size(); ++i) {
            next[i + 1] ^= generator_[i];
            next[i] ^= mul(generator_[i], root);
        }
        generator_ = std::move(next);
    }
}

const ReedSolomon& ReedSolomon::systemPages() {
    static const ReedSolomon code(0x169, 16);
    return code;
}

const ReedSolomon& ReedSolomon::dataPages() {
    static const ReedSolomon code(0x11D, 4);
    return code;
}

std::uint8_t ReedSolomon::mul(std::uint8_t a, std::uint8_t b) const {
    if (a == 0 || b == 0) return 0;
    return exp_[static_cast<std::size_t>(log_[a] + log_[b])];
}

std::uint8_t ReedSolomon::div(std::uint8_t a, std::uint8_t b) const {
    if (a == 0 || b == 0) return 0;
    return exp_[static_cast<std::size_t>(log_[a] - log_[b] + 255)];
}

// The data sits in the low coefficients, so the parity p(x) must satisfy
// x^k p(x) = m(x) mod g(x); as x^255 = 1 modulo g, p(x) = m(x) x^(255-k) mod g(x).
void ReedSolomon::encode(std::uint8_t* block) const {
    const std::size_t k = dataSize();
    std::vector<std::uint8_t> rem(parity_, 0);  // coefficient i of x^i
    // Shift the data in from its highest coefficient, reducing x^parity by g(x) each step.
    for (std::size_t n = k; n-- > 0;) {
        const std::uint8_t feedback = block[n] ^ rem[parity_ - 1];
        for (std::size_t i = parity_ - 1; i > 0; --i)
            rem[i] = rem[i - 1] ^ mul(feedback, generator_[i]);
        rem[0] = mul(feedback, generator_[0]);
    }
    for (std::size_t i = 0; i < parity_; ++i) block[k + i] = rem[i];
}

int ReedSolomon::decode(std::uint8_t* block) const {
    const std::size_t n = kBlockSize;
    std::vector<std::uint8_t> syndrome(parity_, 0);
    bool clean = true;
    for (std::size_t j = 0; j < parity_; ++j) {
        // S_j = c(a^(j+1)), by Horner from the highest coefficient.
        const std::uint8_t x = power(static_cast<int>(j + 1));
        std::uint8_t s = 0;
        for (std::size_t i = n; i-- > 0;) s = mul(s, x) ^ block[i];
        syndrome[j] = s;
        clean = clean && s == 0;
    }
    if (clean) return 0;

    // Berlekamp-Massey: the error locator lambda(x), lambda[0] = 1.
    std::vector<std::uint8_t> lambda(parity_ + 1, 0), prev(parity_ + 1, 0), temp;
    lambda[0] = prev[0] = 1;
    std::size_t errors = 0;
    std::size_t shift = 1;
    std::uint8_t prevDiscrepancy = 1;
    for (std::size_t r = 0; r < parity_; ++r) {
        std::uint8_t d = syndrome[r];
        for (std::size_t i = 1; i <= errors; ++i) d ^= mul(lambda[i], syndrome[r - i]);
        if (d == 0) {
            ++shift;
            continue;
        }
        temp = lambda;
        const std::uint8_t scale = div(d, prevDiscrepancy);
        for (std::size_t i = 0; i + shift <= parity_; ++i) lambda[i + shift] ^= mul(scale, prev[i]);
        if (2 * errors <= r) {
            errors = r + 1 - errors;
            prev = std::move(temp);
            prevDiscrepancy = d;
            shift = 1;
        } else {
            ++shift;
        }
    }
    if (errors == 0 || 2 * errors > parity_) return -1;

    // Chien search: position i is in error when lambda(a^-i) = 0.
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < n; ++i) {
        const int inv = (255 - static_cast<int>(i)) % 255;
        std::uint8_t v = 0;
        for (std::size_t t = errors + 1; t-- > 0;) v = mul(v, power(inv)) ^ lambda[t];
        if (v == 0) positions.push_back(i);
    }
    if (positions.size() != errors) return -1;

    // Forney: e_i = omega(X^-1) / lambda'(X^-1), omega = S(x) lambda(x) mod x^parity.
    std::vector<std::uint8_t> omega(parity_, 0);
    for (std::size_t i = 0; i < parity_; ++i)
        for (std::size_t t = 0; t <= std::min(i, errors); ++t)
            omega[i] ^= mul(lambda[t], syndrome[i - t]);
    std::vector<std::uint8_t> fixes;
    for (std::size_t pos : positions) {
        const int inv = (255 - static_cast<int>(pos)) % 255;
        const std::uint8_t xinv = power(inv);
        std::uint8_t num = 0;
        for (std::size_t i = parity_; i-- > 0;) num = mul(num, xinv) ^ omega[i];
        std::uint8_t den = 0;  // odd terms only in characteristic 2
        for (std::size_t t = 1; t <= errors; t += 2)
            den ^= mul(lambda[t], power(inv * static_cast<int>(t - 1) % 255));
        if (den == 0) return -1;
        fixes.push_back(div(num, den));
    }
    for (std::size_t i = 0; i < positions.size(); ++i) block[positions[i]] ^= fixes[i];
    return static_cast<int>(errors);
}

ReedSolomon::Stats ReedSolomon::decodeInterleaved(const std::uint8_t* raw, std::size_t blocks,
                                                  std::uint8_t* out) const {
    Stats stats;
    std::uint8_t block[kBlockSize];
    const std::size_t k = dataSize();
    for (std::size_t j = 0; j < blocks; ++j) {
        for (std::size_t i = 0; i < kBlockSize; ++i) block[i] = raw[i * blocks + j];
        const int fixed = decode(block);
        if (fixed > 0) ++stats.corrected;
        if (fixed < 0) ++stats.failed;
        std::copy(block, block + k, out + j * k);
    }
    return stats;
}

}  // namespace dwg
