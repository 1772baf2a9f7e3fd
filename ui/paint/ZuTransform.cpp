#include "ui/paint/ZuTransform.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kNearZero = 1e-12;
bool nearZero(double v) {
    return std::fabs(v) <= kNearZero;
}
} // namespace

ZuTransform::ZuTransform(double m11, double m12, double m21, double m22, double dx, double dy)
    : ZuTransform(m11, m12, 0, m21, m22, 0, dx, dy, 1) {}

ZuTransform::ZuTransform(double m11, double m12, double m13, double m21, double m22, double m23, double dx,
                         double dy, double m33)
    : m_m{m11, m12, m13, m21, m22, m23, dx, dy, m33}, m_typeDirty(true) {}

ZuTransform ZuTransform::fromTranslate(double dx, double dy) {
    return ZuTransform(1, 0, 0, 1, dx, dy);
}

ZuTransform ZuTransform::fromScale(double sx, double sy) {
    return ZuTransform(sx, 0, 0, sy, 0, 0);
}

ZuTransform ZuTransform::fromRotate(double degrees) {
    // Exact values at the right angles keep the type a clean rotation.
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360.0;
    double s, c;
    if (a == 90) {
        s = 1, c = 0;
    } else if (a == 180) {
        s = 0, c = -1;
    } else if (a == 270) {
        s = -1, c = 0;
    } else {
        double r = a * 3.14159265358979323846 / 180.0;
        s = std::sin(r), c = std::cos(r);
    }
    return ZuTransform(c, s, -s, c, 0, 0);
}

ZuTransform::Type ZuTransform::type() const {
    if (m_typeDirty) {
        const double* m = m_m;
        if (!nearZero(m[2]) || !nearZero(m[5]) || !nearZero(m[8] - 1))
            m_type = Project;
        else if (!nearZero(m[1]) || !nearZero(m[3])) {
            // Perpendicular columns of equal length: a rotation (with scale).
            bool perpendicular = nearZero(m[0] * m[3] + m[1] * m[4]);
            bool sameLength = nearZero(m[0] * m[0] + m[1] * m[1] - (m[3] * m[3] + m[4] * m[4]));
            m_type = perpendicular && sameLength ? Rotate : Shear;
        } else if (!nearZero(m[0] - 1) || !nearZero(m[4] - 1))
            m_type = Scale;
        else if (!nearZero(m[6]) || !nearZero(m[7]))
            m_type = Translate;
        else
            m_type = Identity;
        m_typeDirty = false;
    }
    return static_cast<Type>(m_type);
}

double ZuTransform::determinant() const {
    const double* m = m_m;
    return m[0] * (m[8] * m[4] - m[7] * m[5]) - m[3] * (m[8] * m[1] - m[7] * m[2]) +
           m[6] * (m[5] * m[1] - m[4] * m[2]);
}

ZuTransform& ZuTransform::translate(double dx, double dy) {
    return *this = fromTranslate(dx, dy) * *this;
}

ZuTransform& ZuTransform::scale(double sx, double sy) {
    return *this = fromScale(sx, sy) * *this;
}

ZuTransform& ZuTransform::rotate(double degrees) {
    return *this = fromRotate(degrees) * *this;
}

ZuPointF ZuTransform::map(const ZuPointF& p) const {
    const double* m = m_m;
    double x = m[0] * p.x + m[3] * p.y + m[6];
    double y = m[1] * p.x + m[4] * p.y + m[7];
    if (type() == Project) {
        double w = m[2] * p.x + m[5] * p.y + m[8];
        if (!nearZero(w)) {
            x /= w;
            y /= w;
        }
    }
    return {x, y};
}

ZuRectF ZuTransform::mapRect(const ZuRectF& r) const {
    if (type() <= Translate)
        return {r.x + m_m[6], r.y + m_m[7], r.width, r.height};
    ZuPointF corners[4] = {map({r.x, r.y}), map({r.x + r.width, r.y}), map({r.x, r.y + r.height}),
                           map({r.x + r.width, r.y + r.height})};
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const ZuPointF& c : corners) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    return {left, top, right - left, bottom - top};
}

std::vector<ZuPointF> ZuTransform::mapPolygon(const std::vector<ZuPointF>& polygon) const {
    std::vector<ZuPointF> mapped;
    mapped.reserve(polygon.size());
    for (const ZuPointF& p : polygon)
        mapped.push_back(map(p));
    return mapped;
}

ZuTransform ZuTransform::operator*(const ZuTransform& o) const {
    const double* a = m_m;
    const double* b = o.m_m;
    ZuTransform r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.m_m[row * 3 + col] =
                a[row * 3 + 0] * b[0 * 3 + col] + a[row * 3 + 1] * b[1 * 3 + col] + a[row * 3 + 2] * b[2 * 3 + col];
    r.setDirty();
    return r;
}

bool ZuTransform::operator==(const ZuTransform& other) const {
    for (int i = 0; i < 9; ++i)
        if (!nearZero(m_m[i] - other.m_m[i]))
            return false;
    return true;
}

ZuTransform ZuTransform::inverted(bool* invertible) const {
    bool ok = true;
    ZuTransform r;
    const double* m = m_m;
    switch (type()) {
    case Identity:
        r = *this;
        break;
    case Translate:
        r = fromTranslate(-m[6], -m[7]);
        break;
    case Scale:
        if (nearZero(m[0]) || nearZero(m[4]))
            ok = false;
        else
            r = ZuTransform(1 / m[0], 0, 0, 1 / m[4], -m[6] / m[0], -m[7] / m[4]);
        break;
    case Rotate:
    case Shear: {
        double det = m[0] * m[4] - m[1] * m[3];
        if (det == 0) {
            ok = false;
            break;
        }
        double i11 = m[4] / det, i12 = -m[1] / det, i21 = -m[3] / det, i22 = m[0] / det;
        r = ZuTransform(i11, i12, i21, i22, -(m[6] * i11 + m[7] * i21), -(m[6] * i12 + m[7] * i22));
        break;
    }
    default: {
        double det = determinant();
        if (nearZero(det)) {
            ok = false;
            break;
        }
        // Adjugate over the determinant.
        r = ZuTransform((m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
                        (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
                        (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                        (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
                        (m[0] * m[4] - m[1] * m[3]) / det);
        break;
    }
    }
    if (invertible)
        *invertible = ok;
    return ok ? r : ZuTransform();
}
