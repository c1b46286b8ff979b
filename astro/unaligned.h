// Reading and writing a double through a pointer that may point into a packed
// record (a field at an odd offset). The coordinate routines take their in/out
// values this way, so a caller can pass the address of a record's field.
#pragma once
#include <cstring>

inline double LoadDouble(const double *p) {
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void StoreDouble(double *p, double v) { std::memcpy(p, &v, sizeof v); }
