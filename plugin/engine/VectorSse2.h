// The chain's vector operations on SSE2, which every target has: two doubles per register.
#pragma once

#include <emmintrin.h>

namespace zephyrion {
namespace {

struct Sse2 {
    using Vec = __m128d;
    static constexpr int kWidth = 2;

    static Vec load(const double* from) { return _mm_load_pd(from); }
    static void store(double* to, Vec v) { _mm_store_pd(to, v); }
    static void storeUnaligned(double* to, Vec v) { _mm_storeu_pd(to, v); }
    // Two floats from memory, widened.
    static Vec fromFloats(const float* from) {
        return _mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(from))));
    }
    // NaN and the infinities become 0.
    static Vec finiteOrZero(Vec v) {
        const Vec magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
        return _mm_and_pd(v, _mm_cmplt_pd(magnitude, _mm_set1_pd(__builtin_inf())));
    }
    static Vec set1(double value) { return _mm_set1_pd(value); }
    static Vec sub(Vec a, Vec b) { return _mm_sub_pd(a, b); }
    static Vec mul(Vec a, Vec b) { return _mm_mul_pd(a, b); }
    static Vec add(Vec a, Vec b) { return _mm_add_pd(a, b); }
    // Rounds as a float store does.
    static Vec roundToFloat(Vec v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }
    static Vec both(Vec a, Vec b) { return _mm_and_pd(a, b); }
    static Vec choose(Vec mask, Vec whenSet, Vec otherwise) {
        return _mm_or_pd(_mm_and_pd(mask, whenSet), _mm_andnot_pd(mask, otherwise));
    }
    template <int I> static double lane(Vec v) {
        if constexpr (I == 0) {
            return _mm_cvtsd_f64(v);
        } else {
            return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
        }
    }
    // (lane0, highInput): the one lane of the last register that moves up is the one replaced.
    static Vec shiftIn(Vec /*last*/, double lane0, double highInput) { return _mm_set_pd(highInput, lane0); }
};

} // namespace
} // namespace zephyrion
