#include "tools/artgen/Homography.h"

#include <cmath>

namespace zelkor::art {

Homography::Homography(const Vec2 f[4], const Vec2 t[4]) {
    // Solve the 8 unknowns (m8 = 1) by Gaussian elimination.
    double a[8][9] = {};
    for (int i = 0; i < 4; ++i) {
        double* r0 = a[2 * i];
        double* r1 = a[2 * i + 1];
        r0[0] = f[i].x, r0[1] = f[i].y, r0[2] = 1, r0[6] = -f[i].x * t[i].x, r0[7] = -f[i].y * t[i].x, r0[8] = t[i].x;
        r1[3] = f[i].x, r1[4] = f[i].y, r1[5] = 1, r1[6] = -f[i].x * t[i].y, r1[7] = -f[i].y * t[i].y, r1[8] = t[i].y;
    }
    for (int c = 0; c < 8; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 8; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c])) pivot = r;
        for (int k = 0; k < 9; ++k) std::swap(a[c][k], a[pivot][k]);
        for (int r = 0; r < 8; ++r) {
            if (r == c) continue;
            const double q = a[r][c] / a[c][c];
            for (int k = c; k < 9; ++k) a[r][k] -= q * a[c][k];
        }
    }
    for (int i = 0; i < 8; ++i) m_[i] = a[i][8] / a[i][i];
    m_[8] = 1;
}

Vec2 Homography::Map(Vec2 p) const {
    const double w = m_[6] * p.x + m_[7] * p.y + m_[8];
    return {(m_[0] * p.x + m_[1] * p.y + m_[2]) / w, (m_[3] * p.x + m_[4] * p.y + m_[5]) / w};
}

bool Homography::InFront(Vec2 p) const { return m_[6] * p.x + m_[7] * p.y + m_[8] > 0; }

Homography Homography::Inverse() const {
    const double* m = m_;
    Homography h;
    double* r = h.m_;
    r[0] = m[4] * m[8] - m[5] * m[7];
    r[1] = m[2] * m[7] - m[1] * m[8];
    r[2] = m[1] * m[5] - m[2] * m[4];
    r[3] = m[5] * m[6] - m[3] * m[8];
    r[4] = m[0] * m[8] - m[2] * m[6];
    r[5] = m[2] * m[3] - m[0] * m[5];
    r[6] = m[3] * m[7] - m[4] * m[6];
    r[7] = m[1] * m[6] - m[0] * m[7];
    r[8] = m[0] * m[4] - m[1] * m[3];
    for (double& v : h.m_) v /= r[8];
    return h;
}

} // namespace zelkor::art
