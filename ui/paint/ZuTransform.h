#pragma once

#include "ui/core/ZuGeometry.h"

#include <vector>

// A 3 by 3 matrix for row vectors: (x, y, 1) times the matrix, so a * b
// applies a first, then b. Its type is cached until the matrix changes.
class ZuTransform {
public:
    enum Type { Identity = 0, Translate = 1, Scale = 2, Rotate = 4, Shear = 8, Project = 16 };

    ZuTransform() = default;
    // An affine transform.
    ZuTransform(double m11, double m12, double m21, double m22, double dx, double dy);
    ZuTransform(double m11, double m12, double m13, double m21, double m22, double m23, double dx, double dy,
                double m33);

    static ZuTransform fromTranslate(double dx, double dy);
    static ZuTransform fromScale(double sx, double sy);
    // Degrees, clockwise on screen (y grows downwards).
    static ZuTransform fromRotate(double degrees);

    double m11() const { return m_m[0]; }
    double m12() const { return m_m[1]; }
    double m13() const { return m_m[2]; }
    double m21() const { return m_m[3]; }
    double m22() const { return m_m[4]; }
    double m23() const { return m_m[5]; }
    double dx() const { return m_m[6]; }
    double dy() const { return m_m[7]; }
    double m33() const { return m_m[8]; }

    Type type() const;
    bool isIdentity() const { return type() == Identity; }
    double determinant() const;

    ZuTransform& translate(double dx, double dy); // this = translation * this
    ZuTransform& scale(double sx, double sy);
    ZuTransform& rotate(double degrees);

    ZuPointF map(const ZuPointF& point) const;
    // The bounding rectangle of the four mapped corners.
    ZuRectF mapRect(const ZuRectF& rect) const;
    std::vector<ZuPointF> mapPolygon(const std::vector<ZuPointF>& polygon) const;

    ZuTransform operator*(const ZuTransform& other) const;
    ZuTransform& operator*=(const ZuTransform& other) { return *this = *this * other; }
    bool operator==(const ZuTransform& other) const;

    // A matrix that cannot be inverted yields the identity and false.
    ZuTransform inverted(bool* invertible = nullptr) const;

private:
    void setDirty() { m_typeDirty = true; }
    double m_m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    mutable int m_type = Identity;
    mutable bool m_typeDirty = false;
};
