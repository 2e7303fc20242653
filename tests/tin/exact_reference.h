// An independent exact evaluation of the orientation and in-circle
// determinants for the predicate tests: every double is an integer times a
// power of two, so after scaling all inputs to the smallest exponent the
// determinants are integer polynomials, evaluated here with a small signed
// big integer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tinrise::test {

class BigInt {
 public:
  BigInt() = default;

  // mantissa * 2^shift, mantissa a signed 64-bit integer.
  static BigInt scaled(std::int64_t mantissa, int shift) {
    BigInt r;
    r.negative_ = mantissa < 0;
    std::uint64_t m = mantissa < 0 ? 0 - static_cast<std::uint64_t>(mantissa) : mantissa;
    r.limbs_.assign(shift / 32, 0);
    int bits = shift % 32;
    unsigned __int128 v = static_cast<unsigned __int128>(m) << bits;
    while (v != 0) {
      r.limbs_.push_back(static_cast<std::uint32_t>(v));
      v >>= 32;
    }
    r.trim();
    return r;
  }

  int sign() const { return limbs_.empty() ? 0 : (negative_ ? -1 : 1); }

  friend BigInt operator*(const BigInt& a, const BigInt& b) {
    BigInt r;
    if (a.limbs_.empty() || b.limbs_.empty()) return r;
    r.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
    for (std::size_t i = 0; i < a.limbs_.size(); i++) {
      std::uint64_t carry = 0;
      for (std::size_t j = 0; j < b.limbs_.size(); j++) {
        std::uint64_t t = static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j] + r.limbs_[i + j] + carry;
        r.limbs_[i + j] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
      }
      r.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
    }
    r.negative_ = a.negative_ != b.negative_;
    r.trim();
    return r;
  }

  friend BigInt operator+(const BigInt& a, const BigInt& b) {
    if (a.negative_ == b.negative_) {
      BigInt r = add_magnitudes(a, b);
      r.negative_ = a.negative_;
      r.trim();
      return r;
    }
    int c = compare_magnitudes(a, b);
    if (c == 0) return BigInt();
    BigInt r = c > 0 ? sub_magnitudes(a, b) : sub_magnitudes(b, a);
    r.negative_ = c > 0 ? a.negative_ : b.negative_;
    r.trim();
    return r;
  }

  friend BigInt operator-(const BigInt& a, const BigInt& b) {
    BigInt nb = b;
    if (!nb.limbs_.empty()) nb.negative_ = !nb.negative_;
    return a + nb;
  }

 private:
  void trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    if (limbs_.empty()) negative_ = false;
  }
  static int compare_magnitudes(const BigInt& a, const BigInt& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }
  static BigInt add_magnitudes(const BigInt& a, const BigInt& b) {
    BigInt r;
    std::size_t n = std::max(a.limbs_.size(), b.limbs_.size());
    r.limbs_.assign(n + 1, 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < n; i++) {
      std::uint64_t t = carry;
      if (i < a.limbs_.size()) t += a.limbs_[i];
      if (i < b.limbs_.size()) t += b.limbs_[i];
      r.limbs_[i] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    r.limbs_[n] = static_cast<std::uint32_t>(carry);
    return r;
  }
  static BigInt sub_magnitudes(const BigInt& a, const BigInt& b) {  // |a| >= |b|
    BigInt r;
    r.limbs_.assign(a.limbs_.size(), 0);
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.limbs_.size(); i++) {
      std::int64_t t = static_cast<std::int64_t>(a.limbs_[i]) - borrow;
      if (i < b.limbs_.size()) t -= b.limbs_[i];
      borrow = t < 0 ? 1 : 0;
      if (t < 0) t += (std::int64_t{1} << 32);
      r.limbs_[i] = static_cast<std::uint32_t>(t);
    }
    return r;
  }

  std::vector<std::uint32_t> limbs_;
  bool negative_ = false;
};

// Exact values of finite doubles, all scaled by the same power of two.
inline std::vector<BigInt> exact_scaled(const std::vector<double>& values) {
  int min_exp = 1 << 20;
  for (double v : values) {
    if (v == 0) continue;
    int e;
    std::frexp(v, &e);
    min_exp = std::min(min_exp, e - 53);
  }
  std::vector<BigInt> out;
  for (double v : values) {
    if (v == 0) {
      out.push_back(BigInt());
      continue;
    }
    int e;
    double m = std::frexp(v, &e);  // v = m * 2^e, 0.5 <= |m| < 1
    auto mantissa = static_cast<std::int64_t>(std::ldexp(m, 53));
    out.push_back(BigInt::scaled(mantissa, e - 53 - min_exp));
  }
  return out;
}

inline int exact_orient2d_sign(const double* pa, const double* pb, const double* pc) {
  auto v = exact_scaled({pa[0], pa[1], pb[0], pb[1], pc[0], pc[1]});
  BigInt acx = v[0] - v[4], acy = v[1] - v[5], bcx = v[2] - v[4], bcy = v[3] - v[5];
  return (acx * bcy - acy * bcx).sign();
}

inline int exact_incircle_sign(const double* pa, const double* pb, const double* pc, const double* pd) {
  auto v = exact_scaled({pa[0], pa[1], pb[0], pb[1], pc[0], pc[1], pd[0], pd[1]});
  BigInt adx = v[0] - v[6], ady = v[1] - v[7];
  BigInt bdx = v[2] - v[6], bdy = v[3] - v[7];
  BigInt cdx = v[4] - v[6], cdy = v[5] - v[7];
  BigInt alift = adx * adx + ady * ady;
  BigInt blift = bdx * bdx + bdy * bdy;
  BigInt clift = cdx * cdx + cdy * cdy;
  BigInt det = alift * (bdx * cdy - cdx * bdy) + blift * (cdx * ady - adx * cdy) + clift * (adx * bdy - bdx * ady);
  return det.sign();
}

inline int sign_of(double value) { return value > 0 ? 1 : (value < 0 ? -1 : 0); }

}  // namespace tinrise::test
