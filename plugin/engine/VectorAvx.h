// The chain's vector operations on AVX: four doubles per register.
#pragma once

#include <immintrin.h>

namespace zephyrion {
namespace {

struct Avx {
    using Vec = __m256d;
    static constexpr int kWidth = 4;

    static Vec load(const double* from) { return _mm256_load_pd(from); }
    static void store(double* to, Vec v) { _mm256_store_pd(to, v); }
    static void storeUnaligned(double* to, Vec v) { _mm256_storeu_pd(to, v); }
    // Four floats from memory, widened.
    static Vec fromFloats(const float* from) { return _mm256_cvtps_pd(_mm_loadu_ps(from)); }
    // NaN and the infinities become 0.
    static Vec finiteOrZero(Vec v) {
        const Vec magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
        return _mm256_and_pd(v, _mm256_cmp_pd(magnitude, _mm256_set1_pd(__builtin_inf()), _CMP_LT_OQ));
    }
    static Vec set1(double value) { return _mm256_set1_pd(value); }
    static Vec sub(Vec a, Vec b) { return _mm256_sub_pd(a, b); }
    static Vec mul(Vec a, Vec b) { return _mm256_mul_pd(a, b); }
    static Vec add(Vec a, Vec b) { return _mm256_add_pd(a, b); }
    // Rounds as a float store does.
    static Vec roundToFloat(Vec v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }
    static Vec both(Vec a, Vec b) { return _mm256_and_pd(a, b); }
    static Vec choose(Vec mask, Vec whenSet, Vec otherwise) {
        return _mm256_blendv_pd(otherwise, whenSet, mask);
    }
    template <int I> static double lane(Vec v) {
        const __m128d half = I < 2 ? _mm256_castpd256_pd128(v) : _mm256_extractf128_pd(v, 1);
        return I % 2 == 0 ? _mm_cvtsd_f64(half) : _mm_cvtsd_f64(_mm_unpackhi_pd(half, half));
    }
    // (lane0, last[0], highInput, last[2]): lane 2 is the highpass side's first section.
    static Vec shiftIn(Vec last, double lane0, double highInput) {
        const __m128d low = _mm256_castpd256_pd128(last);
        const __m128d high = _mm256_extractf128_pd(last, 1);
        const __m128d newLow = _mm_unpacklo_pd(_mm_set_sd(lane0), low);
        const __m128d newHigh = _mm_unpacklo_pd(_mm_set_sd(highInput), high);
        return _mm256_insertf128_pd(_mm256_castpd128_pd256(newLow), newHigh, 1);
    }
};

} // namespace
} // namespace zephyrion
