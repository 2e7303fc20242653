// Exact orientation and in-circle predicates, following Shewchuk,
// "Adaptive Precision Floating-Point Arithmetic and Fast Robust Geometric
// Predicates" (1997): error-bounded fast evaluation, then stages B, C and the
// exact sum over non-overlapping expansions.
//
// Why this file has its own compile flags (src/tin/CMakeLists.txt): every
// error bound and every two-sum / two-product step below assumes that each
// +, -, * is one IEEE 754 double operation rounded to nearest. A fused
// multiply-add (which the compiler may form from a*b - c) skips a rounding and
// breaks the error-free transformations; x87 extended intermediates (80-bit
// registers) round twice and break them too. The file is therefore built with
// -ffp-contract=off, -fno-fast-math, -fno-unsafe-math-optimizations and, on
// 32-bit x86, -mfpmath=sse -msse2 (x86-64 uses SSE2 doubles already); the
// checks just below refuse to compile where those guarantees are missing.
#include "tin/predicates.h"

#include <cfloat>
#include <cmath>

#if defined(__FAST_MATH__)
#error "predicates.cpp must not be built with -ffast-math"
#endif
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "predicates.cpp needs double arithmetic without extended intermediate precision"
#endif

namespace tinrise {
namespace {

double epsilon;
double splitter;
double resulterrbound;
double ccwerrboundA, ccwerrboundB, ccwerrboundC;
double o3derrboundA, o3derrboundB, o3derrboundC;
double iccerrboundA, iccerrboundB, iccerrboundC;
double isperrboundA, isperrboundB, isperrboundC;
std::uint64_t adaptive_calls = 0;

// The published Absolute(a) is (a >= 0 ? a : -a); fabs differs only in the
// sign of a zero, which no comparison below can see, and has no branch.
inline double absolute(double a) { return std::fabs(a); }

// The error-free transformations of the published algorithm. Each splits the
// exact result of one operation into a rounded value x and its error y.
inline void fast_two_sum(double a, double b, double& x, double& y) {
  x = a + b;
  double bvirt = x - a;
  y = b - bvirt;
}

inline void two_sum_tail(double a, double b, double x, double& y) {
  double bvirt = x - a;
  double avirt = x - bvirt;
  double bround = b - bvirt;
  double around = a - avirt;
  y = around + bround;
}

inline void two_sum(double a, double b, double& x, double& y) {
  x = a + b;
  two_sum_tail(a, b, x, y);
}

inline void two_diff_tail(double a, double b, double x, double& y) {
  double bvirt = a - x;
  double avirt = x + bvirt;
  double bround = bvirt - b;
  double around = a - avirt;
  y = around + bround;
}

inline void two_diff(double a, double b, double& x, double& y) {
  x = a - b;
  two_diff_tail(a, b, x, y);
}

inline void split(double a, double& ahi, double& alo) {
  double c = splitter * a;
  double abig = c - a;
  ahi = c - abig;
  alo = a - ahi;
}

inline void two_product(double a, double b, double& x, double& y) {
  x = a * b;
  double ahi, alo, bhi, blo;
  split(a, ahi, alo);
  split(b, bhi, blo);
  double err1 = x - (ahi * bhi);
  double err2 = err1 - (alo * bhi);
  double err3 = err2 - (ahi * blo);
  y = (alo * blo) - err3;
}

inline void two_product_presplit(double a, double b, double bhi, double blo, double& x, double& y) {
  x = a * b;
  double ahi, alo;
  split(a, ahi, alo);
  double err1 = x - (ahi * bhi);
  double err2 = err1 - (alo * bhi);
  double err3 = err2 - (ahi * blo);
  y = (alo * blo) - err3;
}

inline void square(double a, double& x, double& y) {
  x = a * a;
  double ahi, alo;
  split(a, ahi, alo);
  double err1 = x - (ahi * ahi);
  double err3 = err1 - ((ahi + ahi) * alo);
  y = (alo * alo) - err3;
}

inline void two_one_sum(double a1, double a0, double b, double& x2, double& x1, double& x0) {
  double i;
  two_sum(a0, b, i, x0);
  two_sum(a1, i, x2, x1);
}

inline void two_one_diff(double a1, double a0, double b, double& x2, double& x1, double& x0) {
  double i;
  two_diff(a0, b, i, x0);
  two_sum(a1, i, x2, x1);
}

// (a1 + a0) + (b1 + b0) as the four-component expansion x3..x0.
inline void two_two_sum(double a1, double a0, double b1, double b0, double* x) {
  double j, zero;
  two_one_sum(a1, a0, b0, j, zero, x[0]);
  two_one_sum(j, zero, b1, x[3], x[2], x[1]);
}

// (a1 + a0) - (b1 + b0) as the four-component expansion x3..x0.
inline void two_two_diff(double a1, double a0, double b1, double b0, double* x) {
  double j, zero;
  two_one_diff(a1, a0, b0, j, zero, x[0]);
  two_one_diff(j, zero, b1, x[3], x[2], x[1]);
}

double orient2dadapt(const double* pa, const double* pb, const double* pc, double detsum) {
  double acx = pa[0] - pc[0];
  double bcx = pb[0] - pc[0];
  double acy = pa[1] - pc[1];
  double bcy = pb[1] - pc[1];

  double detleft, detlefttail, detright, detrighttail;
  two_product(acx, bcy, detleft, detlefttail);
  two_product(acy, bcx, detright, detrighttail);

  double B[4];
  two_two_diff(detleft, detlefttail, detright, detrighttail, B);

  double det = estimate(4, B);
  double errbound = ccwerrboundB * detsum;
  if ((det >= errbound) || (-det >= errbound)) return det;

  double acxtail, bcxtail, acytail, bcytail;
  two_diff_tail(pa[0], pc[0], acx, acxtail);
  two_diff_tail(pb[0], pc[0], bcx, bcxtail);
  two_diff_tail(pa[1], pc[1], acy, acytail);
  two_diff_tail(pb[1], pc[1], bcy, bcytail);

  if ((acxtail == 0.0) && (acytail == 0.0) && (bcxtail == 0.0) && (bcytail == 0.0)) return det;

  errbound = ccwerrboundC * detsum + resulterrbound * absolute(det);
  det += (acx * bcytail + bcy * acxtail) - (acy * bcxtail + bcx * acytail);
  if ((det >= errbound) || (-det >= errbound)) return det;

  double s1, s0, t1, t0, u[4];
  double C1[8], C2[12], D[16];

  two_product(acxtail, bcy, s1, s0);
  two_product(acytail, bcx, t1, t0);
  two_two_diff(s1, s0, t1, t0, u);
  int C1length = fast_expansion_sum_zeroelim(4, B, 4, u, C1);

  two_product(acx, bcytail, s1, s0);
  two_product(acy, bcxtail, t1, t0);
  two_two_diff(s1, s0, t1, t0, u);
  int C2length = fast_expansion_sum_zeroelim(C1length, C1, 4, u, C2);

  two_product(acxtail, bcytail, s1, s0);
  two_product(acytail, bcxtail, t1, t0);
  two_two_diff(s1, s0, t1, t0, u);
  int Dlength = fast_expansion_sum_zeroelim(C2length, C2, 4, u, D);

  return D[Dlength - 1];
}

// finnow += the expansion (len, e); the result goes to finother and the two
// buffers swap, as in the published code.
inline void fin_add(int& finlength, double*& finnow, double*& finother, int len, const double* e) {
  finlength = fast_expansion_sum_zeroelim(finlength, finnow, len, e, finother);
  double* finswap = finnow;
  finnow = finother;
  finother = finswap;
}

double incircleadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     double permanent) {
  double adx = pa[0] - pd[0];
  double bdx = pb[0] - pd[0];
  double cdx = pc[0] - pd[0];
  double ady = pa[1] - pd[1];
  double bdy = pb[1] - pd[1];
  double cdy = pc[1] - pd[1];

  double bdxcdy1, bdxcdy0, cdxbdy1, cdxbdy0;
  double cdxady1, cdxady0, adxcdy1, adxcdy0;
  double adxbdy1, adxbdy0, bdxady1, bdxady0;
  double bc[4], ca[4], ab[4];
  double axbc[8], axxbc[16], aybc[8], ayybc[16], adet[32];
  double bxca[8], bxxca[16], byca[8], byyca[16], bdet[32];
  double cxab[8], cxxab[16], cyab[8], cyyab[16], cdet[32];
  double abdet[64];
  double fin1[1152], fin2[1152];

  two_product(bdx, cdy, bdxcdy1, bdxcdy0);
  two_product(cdx, bdy, cdxbdy1, cdxbdy0);
  two_two_diff(bdxcdy1, bdxcdy0, cdxbdy1, cdxbdy0, bc);
  int axbclen = scale_expansion_zeroelim(4, bc, adx, axbc);
  int axxbclen = scale_expansion_zeroelim(axbclen, axbc, adx, axxbc);
  int aybclen = scale_expansion_zeroelim(4, bc, ady, aybc);
  int ayybclen = scale_expansion_zeroelim(aybclen, aybc, ady, ayybc);
  int alen = fast_expansion_sum_zeroelim(axxbclen, axxbc, ayybclen, ayybc, adet);

  two_product(cdx, ady, cdxady1, cdxady0);
  two_product(adx, cdy, adxcdy1, adxcdy0);
  two_two_diff(cdxady1, cdxady0, adxcdy1, adxcdy0, ca);
  int bxcalen = scale_expansion_zeroelim(4, ca, bdx, bxca);
  int bxxcalen = scale_expansion_zeroelim(bxcalen, bxca, bdx, bxxca);
  int bycalen = scale_expansion_zeroelim(4, ca, bdy, byca);
  int byycalen = scale_expansion_zeroelim(bycalen, byca, bdy, byyca);
  int blen = fast_expansion_sum_zeroelim(bxxcalen, bxxca, byycalen, byyca, bdet);

  two_product(adx, bdy, adxbdy1, adxbdy0);
  two_product(bdx, ady, bdxady1, bdxady0);
  two_two_diff(adxbdy1, adxbdy0, bdxady1, bdxady0, ab);
  int cxablen = scale_expansion_zeroelim(4, ab, cdx, cxab);
  int cxxablen = scale_expansion_zeroelim(cxablen, cxab, cdx, cxxab);
  int cyablen = scale_expansion_zeroelim(4, ab, cdy, cyab);
  int cyyablen = scale_expansion_zeroelim(cyablen, cyab, cdy, cyyab);
  int clen = fast_expansion_sum_zeroelim(cxxablen, cxxab, cyyablen, cyyab, cdet);

  int ablen = fast_expansion_sum_zeroelim(alen, adet, blen, bdet, abdet);
  int finlength = fast_expansion_sum_zeroelim(ablen, abdet, clen, cdet, fin1);

  double det = estimate(finlength, fin1);
  double errbound = iccerrboundB * permanent;
  if ((det >= errbound) || (-det >= errbound)) return det;

  double adxtail, adytail, bdxtail, bdytail, cdxtail, cdytail;
  two_diff_tail(pa[0], pd[0], adx, adxtail);
  two_diff_tail(pa[1], pd[1], ady, adytail);
  two_diff_tail(pb[0], pd[0], bdx, bdxtail);
  two_diff_tail(pb[1], pd[1], bdy, bdytail);
  two_diff_tail(pc[0], pd[0], cdx, cdxtail);
  two_diff_tail(pc[1], pd[1], cdy, cdytail);
  if ((adxtail == 0.0) && (bdxtail == 0.0) && (cdxtail == 0.0) && (adytail == 0.0) &&
      (bdytail == 0.0) && (cdytail == 0.0)) {
    return det;
  }

  errbound = iccerrboundC * permanent + resulterrbound * absolute(det);
  det += ((adx * adx + ady * ady) * ((bdx * cdytail + cdy * bdxtail) - (bdy * cdxtail + cdx * bdytail)) +
          2.0 * (adx * adxtail + ady * adytail) * (bdx * cdy - bdy * cdx)) +
         ((bdx * bdx + bdy * bdy) * ((cdx * adytail + ady * cdxtail) - (cdy * adxtail + adx * cdytail)) +
          2.0 * (bdx * bdxtail + bdy * bdytail) * (cdx * ady - cdy * adx)) +
         ((cdx * cdx + cdy * cdy) * ((adx * bdytail + bdy * adxtail) - (ady * bdxtail + bdx * adytail)) +
          2.0 * (cdx * cdxtail + cdy * cdytail) * (adx * bdy - ady * bdx));
  if ((det >= errbound) || (-det >= errbound)) return det;

  double* finnow = fin1;
  double* finother = fin2;

  double adxadx1, adxadx0, adyady1, adyady0;
  double bdxbdx1, bdxbdx0, bdybdy1, bdybdy0;
  double cdxcdx1, cdxcdx0, cdycdy1, cdycdy0;
  double aa[4], bb[4], cc[4];
  double ti1, ti0, tj1, tj0;
  double u[4], v[4];
  double temp8[8], temp16a[16], temp16b[16], temp16c[16];
  double temp32a[32], temp32b[32], temp48[48], temp64[64];
  int temp8len, temp16alen, temp16blen, temp16clen;
  int temp32alen, temp32blen, temp48len, temp64len;
  double axtbb[8], axtcc[8], aytbb[8], aytcc[8];
  double bxtaa[8], bxtcc[8], bytaa[8], bytcc[8];
  double cxtaa[8], cxtbb[8], cytaa[8], cytbb[8];
  int axtbblen, axtcclen, aytbblen, aytcclen;
  int bxtaalen, bxtcclen, bytaalen, bytcclen;
  int cxtaalen, cxtbblen, cytaalen, cytbblen;
  double axtbc[8], aytbc[8], bxtca[8], bytca[8], cxtab[8], cytab[8];
  int axtbclen = 0, aytbclen = 0, bxtcalen = 0, bytcalen = 0, cxtablen = 0, cytablen = 0;
  double axtbct[16], aytbct[16], bxtcat[16], bytcat[16], cxtabt[16], cytabt[16];
  int axtbctlen, aytbctlen, bxtcatlen, bytcatlen, cxtabtlen, cytabtlen;
  double axtbctt[8], aytbctt[8], bxtcatt[8], bytcatt[8], cxtabtt[8], cytabtt[8];
  int axtbcttlen, aytbcttlen, bxtcattlen, bytcattlen, cxtabttlen, cytabttlen;
  double abt[8], bct[8], cat[8];
  int abtlen, bctlen, catlen;
  double abtt[4], bctt[4], catt[4];
  int abttlen, bcttlen, cattlen;
  double negate;

  if ((bdxtail != 0.0) || (bdytail != 0.0) || (cdxtail != 0.0) || (cdytail != 0.0)) {
    square(adx, adxadx1, adxadx0);
    square(ady, adyady1, adyady0);
    two_two_sum(adxadx1, adxadx0, adyady1, adyady0, aa);
  }
  if ((cdxtail != 0.0) || (cdytail != 0.0) || (adxtail != 0.0) || (adytail != 0.0)) {
    square(bdx, bdxbdx1, bdxbdx0);
    square(bdy, bdybdy1, bdybdy0);
    two_two_sum(bdxbdx1, bdxbdx0, bdybdy1, bdybdy0, bb);
  }
  if ((adxtail != 0.0) || (adytail != 0.0) || (bdxtail != 0.0) || (bdytail != 0.0)) {
    square(cdx, cdxcdx1, cdxcdx0);
    square(cdy, cdycdy1, cdycdy0);
    two_two_sum(cdxcdx1, cdxcdx0, cdycdy1, cdycdy0, cc);
  }

  if (adxtail != 0.0) {
    axtbclen = scale_expansion_zeroelim(4, bc, adxtail, axtbc);
    temp16alen = scale_expansion_zeroelim(axtbclen, axtbc, 2.0 * adx, temp16a);
    axtcclen = scale_expansion_zeroelim(4, cc, adxtail, axtcc);
    temp16blen = scale_expansion_zeroelim(axtcclen, axtcc, bdy, temp16b);
    axtbblen = scale_expansion_zeroelim(4, bb, adxtail, axtbb);
    temp16clen = scale_expansion_zeroelim(axtbblen, axtbb, -cdy, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }
  if (adytail != 0.0) {
    aytbclen = scale_expansion_zeroelim(4, bc, adytail, aytbc);
    temp16alen = scale_expansion_zeroelim(aytbclen, aytbc, 2.0 * ady, temp16a);
    aytbblen = scale_expansion_zeroelim(4, bb, adytail, aytbb);
    temp16blen = scale_expansion_zeroelim(aytbblen, aytbb, cdx, temp16b);
    aytcclen = scale_expansion_zeroelim(4, cc, adytail, aytcc);
    temp16clen = scale_expansion_zeroelim(aytcclen, aytcc, -bdx, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }
  if (bdxtail != 0.0) {
    bxtcalen = scale_expansion_zeroelim(4, ca, bdxtail, bxtca);
    temp16alen = scale_expansion_zeroelim(bxtcalen, bxtca, 2.0 * bdx, temp16a);
    bxtaalen = scale_expansion_zeroelim(4, aa, bdxtail, bxtaa);
    temp16blen = scale_expansion_zeroelim(bxtaalen, bxtaa, cdy, temp16b);
    bxtcclen = scale_expansion_zeroelim(4, cc, bdxtail, bxtcc);
    temp16clen = scale_expansion_zeroelim(bxtcclen, bxtcc, -ady, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }
  if (bdytail != 0.0) {
    bytcalen = scale_expansion_zeroelim(4, ca, bdytail, bytca);
    temp16alen = scale_expansion_zeroelim(bytcalen, bytca, 2.0 * bdy, temp16a);
    bytcclen = scale_expansion_zeroelim(4, cc, bdytail, bytcc);
    temp16blen = scale_expansion_zeroelim(bytcclen, bytcc, adx, temp16b);
    bytaalen = scale_expansion_zeroelim(4, aa, bdytail, bytaa);
    temp16clen = scale_expansion_zeroelim(bytaalen, bytaa, -cdx, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }
  if (cdxtail != 0.0) {
    cxtablen = scale_expansion_zeroelim(4, ab, cdxtail, cxtab);
    temp16alen = scale_expansion_zeroelim(cxtablen, cxtab, 2.0 * cdx, temp16a);
    cxtbblen = scale_expansion_zeroelim(4, bb, cdxtail, cxtbb);
    temp16blen = scale_expansion_zeroelim(cxtbblen, cxtbb, ady, temp16b);
    cxtaalen = scale_expansion_zeroelim(4, aa, cdxtail, cxtaa);
    temp16clen = scale_expansion_zeroelim(cxtaalen, cxtaa, -bdy, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }
  if (cdytail != 0.0) {
    cytablen = scale_expansion_zeroelim(4, ab, cdytail, cytab);
    temp16alen = scale_expansion_zeroelim(cytablen, cytab, 2.0 * cdy, temp16a);
    cytaalen = scale_expansion_zeroelim(4, aa, cdytail, cytaa);
    temp16blen = scale_expansion_zeroelim(cytaalen, cytaa, bdx, temp16b);
    cytbblen = scale_expansion_zeroelim(4, bb, cdytail, cytbb);
    temp16clen = scale_expansion_zeroelim(cytbblen, cytbb, -adx, temp16c);
    temp32alen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    temp48len = fast_expansion_sum_zeroelim(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin_add(finlength, finnow, finother, temp48len, temp48);
  }

  if ((adxtail != 0.0) || (adytail != 0.0)) {
    if ((bdxtail != 0.0) || (bdytail != 0.0) || (cdxtail != 0.0) || (cdytail != 0.0)) {
      two_product(bdxtail, cdy, ti1, ti0);
      two_product(bdx, cdytail, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, u);
      negate = -bdy;
      two_product(cdxtail, negate, ti1, ti0);
      negate = -bdytail;
      two_product(cdx, negate, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, v);
      bctlen = fast_expansion_sum_zeroelim(4, u, 4, v, bct);

      two_product(bdxtail, cdytail, ti1, ti0);
      two_product(cdxtail, bdytail, tj1, tj0);
      two_two_diff(ti1, ti0, tj1, tj0, bctt);
      bcttlen = 4;
    } else {
      bct[0] = 0.0;
      bctlen = 1;
      bctt[0] = 0.0;
      bcttlen = 1;
    }

    if (adxtail != 0.0) {
      temp16alen = scale_expansion_zeroelim(axtbclen, axtbc, adxtail, temp16a);
      axtbctlen = scale_expansion_zeroelim(bctlen, bct, adxtail, axtbct);
      temp32alen = scale_expansion_zeroelim(axtbctlen, axtbct, 2.0 * adx, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);
      if (bdytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, cc, adxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, bdytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }
      if (cdytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, bb, -adxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, cdytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }

      temp32alen = scale_expansion_zeroelim(axtbctlen, axtbct, adxtail, temp32a);
      axtbcttlen = scale_expansion_zeroelim(bcttlen, bctt, adxtail, axtbctt);
      temp16alen = scale_expansion_zeroelim(axtbcttlen, axtbctt, 2.0 * adx, temp16a);
      temp16blen = scale_expansion_zeroelim(axtbcttlen, axtbctt, adxtail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
    if (adytail != 0.0) {
      temp16alen = scale_expansion_zeroelim(aytbclen, aytbc, adytail, temp16a);
      aytbctlen = scale_expansion_zeroelim(bctlen, bct, adytail, aytbct);
      temp32alen = scale_expansion_zeroelim(aytbctlen, aytbct, 2.0 * ady, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);

      temp32alen = scale_expansion_zeroelim(aytbctlen, aytbct, adytail, temp32a);
      aytbcttlen = scale_expansion_zeroelim(bcttlen, bctt, adytail, aytbctt);
      temp16alen = scale_expansion_zeroelim(aytbcttlen, aytbctt, 2.0 * ady, temp16a);
      temp16blen = scale_expansion_zeroelim(aytbcttlen, aytbctt, adytail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
  }
  if ((bdxtail != 0.0) || (bdytail != 0.0)) {
    if ((cdxtail != 0.0) || (cdytail != 0.0) || (adxtail != 0.0) || (adytail != 0.0)) {
      two_product(cdxtail, ady, ti1, ti0);
      two_product(cdx, adytail, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, u);
      negate = -cdy;
      two_product(adxtail, negate, ti1, ti0);
      negate = -cdytail;
      two_product(adx, negate, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, v);
      catlen = fast_expansion_sum_zeroelim(4, u, 4, v, cat);

      two_product(cdxtail, adytail, ti1, ti0);
      two_product(adxtail, cdytail, tj1, tj0);
      two_two_diff(ti1, ti0, tj1, tj0, catt);
      cattlen = 4;
    } else {
      cat[0] = 0.0;
      catlen = 1;
      catt[0] = 0.0;
      cattlen = 1;
    }

    if (bdxtail != 0.0) {
      temp16alen = scale_expansion_zeroelim(bxtcalen, bxtca, bdxtail, temp16a);
      bxtcatlen = scale_expansion_zeroelim(catlen, cat, bdxtail, bxtcat);
      temp32alen = scale_expansion_zeroelim(bxtcatlen, bxtcat, 2.0 * bdx, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);
      if (cdytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, aa, bdxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, cdytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }
      if (adytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, cc, -bdxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, adytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }

      temp32alen = scale_expansion_zeroelim(bxtcatlen, bxtcat, bdxtail, temp32a);
      bxtcattlen = scale_expansion_zeroelim(cattlen, catt, bdxtail, bxtcatt);
      temp16alen = scale_expansion_zeroelim(bxtcattlen, bxtcatt, 2.0 * bdx, temp16a);
      temp16blen = scale_expansion_zeroelim(bxtcattlen, bxtcatt, bdxtail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
    if (bdytail != 0.0) {
      temp16alen = scale_expansion_zeroelim(bytcalen, bytca, bdytail, temp16a);
      bytcatlen = scale_expansion_zeroelim(catlen, cat, bdytail, bytcat);
      temp32alen = scale_expansion_zeroelim(bytcatlen, bytcat, 2.0 * bdy, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);

      temp32alen = scale_expansion_zeroelim(bytcatlen, bytcat, bdytail, temp32a);
      bytcattlen = scale_expansion_zeroelim(cattlen, catt, bdytail, bytcatt);
      temp16alen = scale_expansion_zeroelim(bytcattlen, bytcatt, 2.0 * bdy, temp16a);
      temp16blen = scale_expansion_zeroelim(bytcattlen, bytcatt, bdytail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
  }
  if ((cdxtail != 0.0) || (cdytail != 0.0)) {
    if ((adxtail != 0.0) || (adytail != 0.0) || (bdxtail != 0.0) || (bdytail != 0.0)) {
      two_product(adxtail, bdy, ti1, ti0);
      two_product(adx, bdytail, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, u);
      negate = -ady;
      two_product(bdxtail, negate, ti1, ti0);
      negate = -adytail;
      two_product(bdx, negate, tj1, tj0);
      two_two_sum(ti1, ti0, tj1, tj0, v);
      abtlen = fast_expansion_sum_zeroelim(4, u, 4, v, abt);

      two_product(adxtail, bdytail, ti1, ti0);
      two_product(bdxtail, adytail, tj1, tj0);
      two_two_diff(ti1, ti0, tj1, tj0, abtt);
      abttlen = 4;
    } else {
      abt[0] = 0.0;
      abtlen = 1;
      abtt[0] = 0.0;
      abttlen = 1;
    }

    if (cdxtail != 0.0) {
      temp16alen = scale_expansion_zeroelim(cxtablen, cxtab, cdxtail, temp16a);
      cxtabtlen = scale_expansion_zeroelim(abtlen, abt, cdxtail, cxtabt);
      temp32alen = scale_expansion_zeroelim(cxtabtlen, cxtabt, 2.0 * cdx, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);
      if (adytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, bb, cdxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, adytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }
      if (bdytail != 0.0) {
        temp8len = scale_expansion_zeroelim(4, aa, -cdxtail, temp8);
        temp16alen = scale_expansion_zeroelim(temp8len, temp8, bdytail, temp16a);
        fin_add(finlength, finnow, finother, temp16alen, temp16a);
      }

      temp32alen = scale_expansion_zeroelim(cxtabtlen, cxtabt, cdxtail, temp32a);
      cxtabttlen = scale_expansion_zeroelim(abttlen, abtt, cdxtail, cxtabtt);
      temp16alen = scale_expansion_zeroelim(cxtabttlen, cxtabtt, 2.0 * cdx, temp16a);
      temp16blen = scale_expansion_zeroelim(cxtabttlen, cxtabtt, cdxtail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
    if (cdytail != 0.0) {
      temp16alen = scale_expansion_zeroelim(cytablen, cytab, cdytail, temp16a);
      cytabtlen = scale_expansion_zeroelim(abtlen, abt, cdytail, cytabt);
      temp32alen = scale_expansion_zeroelim(cytabtlen, cytabt, 2.0 * cdy, temp32a);
      temp48len = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp32alen, temp32a, temp48);
      fin_add(finlength, finnow, finother, temp48len, temp48);

      temp32alen = scale_expansion_zeroelim(cytabtlen, cytabt, cdytail, temp32a);
      cytabttlen = scale_expansion_zeroelim(abttlen, abtt, cdytail, cytabtt);
      temp16alen = scale_expansion_zeroelim(cytabttlen, cytabtt, 2.0 * cdy, temp16a);
      temp16blen = scale_expansion_zeroelim(cytabttlen, cytabtt, cdytail, temp16b);
      temp32blen = fast_expansion_sum_zeroelim(temp16alen, temp16a, temp16blen, temp16b, temp32b);
      temp64len = fast_expansion_sum_zeroelim(temp32alen, temp32a, temp32blen, temp32b, temp64);
      fin_add(finlength, finnow, finother, temp64len, temp64);
    }
  }

  return finnow[finlength - 1];
}

}  // namespace

void exactinit() {
  double half = 0.5;
  double check = 1.0;
  double lastcheck;
  bool every_other = true;
  epsilon = 1.0;
  splitter = 1.0;
  // Repeatedly halve epsilon until 1 + epsilon rounds to 1; splitter doubles
  // every second time, ending at 2^ceil(p/2) + 1.
  do {
    lastcheck = check;
    epsilon *= half;
    if (every_other) splitter *= 2.0;
    every_other = !every_other;
    check = 1.0 + epsilon;
  } while ((check != 1.0) && (check != lastcheck));
  splitter += 1.0;

  resulterrbound = (3.0 + 8.0 * epsilon) * epsilon;
  ccwerrboundA = (3.0 + 16.0 * epsilon) * epsilon;
  ccwerrboundB = (2.0 + 12.0 * epsilon) * epsilon;
  ccwerrboundC = (9.0 + 64.0 * epsilon) * epsilon * epsilon;
  o3derrboundA = (7.0 + 56.0 * epsilon) * epsilon;
  o3derrboundB = (3.0 + 28.0 * epsilon) * epsilon;
  o3derrboundC = (26.0 + 288.0 * epsilon) * epsilon * epsilon;
  iccerrboundA = (10.0 + 96.0 * epsilon) * epsilon;
  iccerrboundB = (4.0 + 48.0 * epsilon) * epsilon;
  iccerrboundC = (44.0 + 576.0 * epsilon) * epsilon * epsilon;
  isperrboundA = (16.0 + 224.0 * epsilon) * epsilon;
  isperrboundB = (5.0 + 72.0 * epsilon) * epsilon;
  isperrboundC = (71.0 + 1408.0 * epsilon) * epsilon * epsilon;
}

// h = e + f. The published loop reads one element past the end of e or f when
// it advances; here the reads are guarded, with the same result.
int fast_expansion_sum_zeroelim(int elen, const double* e, int flen, const double* f, double* h) {
  double Q, Qnew, hh;
  int eindex = 0, findex = 0, hindex = 0;
  double enow = e[0];
  double fnow = f[0];
  if ((fnow > enow) == (fnow > -enow)) {
    Q = enow;
    if (++eindex < elen) enow = e[eindex];
  } else {
    Q = fnow;
    if (++findex < flen) fnow = f[findex];
  }
  if ((eindex < elen) && (findex < flen)) {
    if ((fnow > enow) == (fnow > -enow)) {
      fast_two_sum(enow, Q, Qnew, hh);
      if (++eindex < elen) enow = e[eindex];
    } else {
      fast_two_sum(fnow, Q, Qnew, hh);
      if (++findex < flen) fnow = f[findex];
    }
    Q = Qnew;
    if (hh != 0.0) h[hindex++] = hh;
    while ((eindex < elen) && (findex < flen)) {
      if ((fnow > enow) == (fnow > -enow)) {
        two_sum(Q, enow, Qnew, hh);
        if (++eindex < elen) enow = e[eindex];
      } else {
        two_sum(Q, fnow, Qnew, hh);
        if (++findex < flen) fnow = f[findex];
      }
      Q = Qnew;
      if (hh != 0.0) h[hindex++] = hh;
    }
  }
  while (eindex < elen) {
    two_sum(Q, enow, Qnew, hh);
    if (++eindex < elen) enow = e[eindex];
    Q = Qnew;
    if (hh != 0.0) h[hindex++] = hh;
  }
  while (findex < flen) {
    two_sum(Q, fnow, Qnew, hh);
    if (++findex < flen) fnow = f[findex];
    Q = Qnew;
    if (hh != 0.0) h[hindex++] = hh;
  }
  if ((Q != 0.0) || (hindex == 0)) h[hindex++] = Q;
  return hindex;
}

// h = b * e.
int scale_expansion_zeroelim(int elen, const double* e, double b, double* h) {
  double Q, sum, hh, product1, product0, bhi, blo;
  split(b, bhi, blo);
  two_product_presplit(e[0], b, bhi, blo, Q, hh);
  int hindex = 0;
  if (hh != 0.0) h[hindex++] = hh;
  for (int eindex = 1; eindex < elen; eindex++) {
    double enow = e[eindex];
    two_product_presplit(enow, b, bhi, blo, product1, product0);
    two_sum(Q, product0, sum, hh);
    if (hh != 0.0) h[hindex++] = hh;
    fast_two_sum(product1, sum, Q, hh);
    if (hh != 0.0) h[hindex++] = hh;
  }
  if ((Q != 0.0) || (hindex == 0)) h[hindex++] = Q;
  return hindex;
}

// A one-double approximation of the expansion's value.
double estimate(int elen, const double* e) {
  double Q = e[0];
  for (int eindex = 1; eindex < elen; eindex++) Q += e[eindex];
  return Q;
}

double orient2d(const double* pa, const double* pb, const double* pc) {
  double detleft = (pa[0] - pc[0]) * (pb[1] - pc[1]);
  double detright = (pa[1] - pc[1]) * (pb[0] - pc[0]);
  double det = detleft - detright;

  // The published first stage returns det at once when detleft and detright
  // have opposite signs or one is zero, and otherwise compares |det| with
  // ccwerrboundA * detsum, detsum = |detleft + detright|. Written as one
  // comparison with detsum = |detleft| + |detright| it returns det in exactly
  // the same cases (opposite signs: |det| = detsum >= the bound; a zero
  // term: likewise; same signs: the same detsum), with no data-dependent
  // branch. The negated form also returns a NaN at once, as published.
  double detsum = absolute(detleft) + absolute(detright);
  if (!(absolute(det) < ccwerrboundA * detsum)) return det;

  ++adaptive_calls;
  return orient2dadapt(pa, pb, pc, detsum);
}

double incircle(const double* pa, const double* pb, const double* pc, const double* pd) {
  double adx = pa[0] - pd[0];
  double bdx = pb[0] - pd[0];
  double cdx = pc[0] - pd[0];
  double ady = pa[1] - pd[1];
  double bdy = pb[1] - pd[1];
  double cdy = pc[1] - pd[1];

  double bdxcdy = bdx * cdy;
  double cdxbdy = cdx * bdy;
  double alift = adx * adx + ady * ady;

  double cdxady = cdx * ady;
  double adxcdy = adx * cdy;
  double blift = bdx * bdx + bdy * bdy;

  double adxbdy = adx * bdy;
  double bdxady = bdx * ady;
  double clift = cdx * cdx + cdy * cdy;

  double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);

  double permanent = (absolute(bdxcdy) + absolute(cdxbdy)) * alift +
                     (absolute(cdxady) + absolute(adxcdy)) * blift +
                     (absolute(adxbdy) + absolute(bdxady)) * clift;
  double errbound = iccerrboundA * permanent;
  // Published: (det > errbound) || (-det > errbound); the same test on |det|
  // needs one well-predicted branch instead of a coin toss on det's sign.
  if (absolute(det) > errbound) return det;

  ++adaptive_calls;
  return incircleadapt(pa, pb, pc, pd, permanent);
}

std::uint64_t predicate_adaptive_calls() { return adaptive_calls; }
void predicate_adaptive_calls_reset() { adaptive_calls = 0; }

}  // namespace tinrise
