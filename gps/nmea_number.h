#pragma once
// Leading-number conversions with the results of atoi and atof, fast on the
// plain decimal texts receivers send.

#include <cstdlib>

namespace trakomer {

inline bool IsSpaceChar(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi: optional white space and sign, then decimal digits.
inline int LeadingInt(const char* s) {
    while (IsSpaceChar(*s)) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    long long value = 0;
    while (*s >= '0' && *s <= '9') {
        if (value < 100000000000LL) value = value * 10 + (*s - '0');
        ++s;
    }
    return static_cast<int>(negative ? -value : value);
}

// atof. Plain decimals of up to 15 digits are exact as integer / power of
// ten; anything else (white space, exponents, hex, inf, nan, long mantissas)
// goes to strtod.
inline double LeadingDouble(const char* s) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = s;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char first = *p;
    long long mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool seenPoint = false;
    for (;; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (digits < 16) mantissa = mantissa * 10 + (*p - '0');
            ++digits;
            if (seenPoint) ++fractionDigits;
        } else if (*p == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        const bool special = IsSpaceChar(*s) || first == 'i' || first == 'I' || first == 'n' ||
                             first == 'N';
        return special ? std::strtod(s, nullptr) : 0.0;
    }
    if (digits > 15 || *p == 'e' || *p == 'E' || *p == 'x' || *p == 'X') {
        return std::strtod(s, nullptr);
    }
    const double value = static_cast<double>(mantissa) / kPow10[fractionDigits];
    return negative ? -value : value;
}

}  // namespace trakomer
