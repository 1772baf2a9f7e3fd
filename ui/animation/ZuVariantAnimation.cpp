#include "ui/animation/ZuVariantAnimation.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuVariantAnimation, ZuAbstractAnimation, ZU_TAG('V', 'A', 'N', 'N'))

namespace {

ZuVariant invalidValue(const ZuVariant&, const ZuVariant&, double) {
    return ZuVariant();
}

template <typename T> T blend(T from, T to, double p) {
    return static_cast<T>((1 - p) * from + p * to);
}

ZuVariant blendInt(const ZuVariant& a, const ZuVariant& b, double p) {
    return ZuVariant(blend<int>(a.toInt(), b.toInt(), p));
}
ZuVariant blendUInt(const ZuVariant& a, const ZuVariant& b, double p) {
    return ZuVariant(static_cast<unsigned int>((1 - p) * a.toUInt() + p * b.toUInt()));
}
ZuVariant blendDouble(const ZuVariant& a, const ZuVariant& b, double p) {
    return ZuVariant((1 - p) * a.toDouble() + p * b.toDouble());
}
ZuVariant blendFloat(const ZuVariant& a, const ZuVariant& b, double p) {
    float fp = static_cast<float>(p);
    return ZuVariant((1.0f - fp) * static_cast<float>(a.toDouble()) + fp * static_cast<float>(b.toDouble()));
}
ZuVariant blendInt64(const ZuVariant& a, const ZuVariant& b, double p) {
    return ZuVariant(static_cast<long long>((1 - p) * a.toDouble() + p * b.toDouble()));
}
ZuVariant blendUInt64(const ZuVariant& a, const ZuVariant& b, double p) {
    return ZuVariant(static_cast<unsigned long long>((1 - p) * a.toDouble() + p * b.toDouble()));
}
ZuVariant blendRectF(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuRectF f = a.toRectF(), t = b.toRectF();
    return ZuVariant(ZuRectF{blend(f.x, t.x, p), blend(f.y, t.y, p), blend(f.width, t.width, p),
                             blend(f.height, t.height, p)});
}
ZuVariant blendRect(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuRect f = a.toRect(), t = b.toRect();
    return ZuVariant(ZuRect{blend(f.x, t.x, p), blend(f.y, t.y, p), blend(f.width, t.width, p),
                            blend(f.height, t.height, p)});
}
ZuVariant blendPointF(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuPointF f = a.toPointF(), t = b.toPointF();
    return ZuVariant(ZuPointF{blend(f.x, t.x, p), blend(f.y, t.y, p)});
}
ZuVariant blendPoint(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuPoint f = a.toPoint(), t = b.toPoint();
    return ZuVariant(ZuPoint{blend(f.x, t.x, p), blend(f.y, t.y, p)});
}
ZuVariant blendSizeF(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuSizeF f = a.toSizeF(), t = b.toSizeF();
    return ZuVariant(ZuSizeF{blend(f.width, t.width, p), blend(f.height, t.height, p)});
}
ZuVariant blendSize(const ZuVariant& a, const ZuVariant& b, double p) {
    ZuSize f = a.toSize(), t = b.toSize();
    return ZuVariant(ZuSize{blend(f.width, t.width, p), blend(f.height, t.height, p)});
}

bool keyBelow(const ZuVariantAnimation::KeyValue& key, double step) {
    return key.first < step;
}

} // namespace

ZuVariantAnimation::ZuVariantAnimation(ZuObject* owner)
    : ZuAbstractAnimation(owner), m_interpolator(invalidValue) {
    setDuration(250);
}

ZuVariantAnimation::Interpolator ZuVariantAnimation::interpolatorFor(int kind) {
    switch (kind) {
    case ZuVariant::Int:
        return blendInt;
    case ZuVariant::UInt:
        return blendUInt;
    case ZuVariant::Double:
        return blendDouble;
    case ZuVariant::Float:
        return blendFloat;
    case ZuVariant::Int64:
        return blendInt64;
    case ZuVariant::UInt64:
        return blendUInt64;
    case ZuVariant::RectF:
        return blendRectF;
    case ZuVariant::Rect:
        return blendRect;
    case ZuVariant::PointF:
        return blendPointF;
    case ZuVariant::Point:
        return blendPoint;
    case ZuVariant::SizeF:
        return blendSizeF;
    case ZuVariant::Size:
        return blendSize;
    default:
        return invalidValue;
    }
}

ZuVariant ZuVariantAnimation::interpolated(const ZuVariant& from, const ZuVariant& to,
                                           double progress) const {
    return m_interpolator(from, to, progress);
}

void ZuVariantAnimation::setKeyValueAt(double step, const ZuVariant& value) {
    if (!(step >= 0 && step <= 1))
        return;
    auto it = std::lower_bound(m_keyValues.begin(), m_keyValues.end(), step, keyBelow);
    if (it == m_keyValues.end() || it->first != step)
        m_keyValues.insert(it, KeyValue(step, value));
    else if (!value.isValid())
        m_keyValues.erase(it);
    else
        it->second = value;
    recalculateCurrentValue(true);
}

ZuVariant ZuVariantAnimation::keyValueAt(double step) const {
    auto it = std::lower_bound(m_keyValues.begin(), m_keyValues.end(), step, keyBelow);
    return it != m_keyValues.end() && it->first == step ? it->second : ZuVariant();
}

void ZuVariantAnimation::updateCurrentTime(int) {
    recalculateCurrentValue(false);
}

void ZuVariantAnimation::recalculateCurrentValue(bool force) {
    size_t keys = m_keyValues.size() + (m_defaultValue.isValid() ? 1 : 0);
    if (keys < 2)
        return;
    int d = duration();
    double progress = d == 0 ? 1.0 : static_cast<double>(currentLoopTime()) / d;
    double e = m_easing.valueForProgress(progress);

    if (force || (m_intervalStart.first > 0 && e < m_intervalStart.first) ||
        (m_intervalEnd.first < 1 && e > m_intervalEnd.first)) {
        auto it = std::lower_bound(m_keyValues.begin(), m_keyValues.end(), e, keyBelow);
        if (it == m_keyValues.begin()) {
            if (it->first == 0 && m_keyValues.size() > 1) {
                m_intervalStart = *it;
                m_intervalEnd = *(it + 1);
            } else {
                m_intervalStart = KeyValue(0.0, m_defaultValue);
                m_intervalEnd = *it;
            }
        } else if (it == m_keyValues.end()) {
            auto last = it - 1;
            if (last->first == 1 && m_keyValues.size() > 1) {
                m_intervalStart = *(last - 1);
                m_intervalEnd = *last;
            } else {
                m_intervalStart = *last;
                m_intervalEnd = KeyValue(1.0, m_defaultValue);
            }
        } else {
            m_intervalStart = *(it - 1);
            m_intervalEnd = *it;
        }
        int kind = m_intervalStart.second.isValid() ? m_intervalStart.second.kind() : ZuVariant::Invalid;
        int endKind = m_intervalEnd.second.isValid() ? m_intervalEnd.second.kind() : ZuVariant::Invalid;
        m_interpolator = kind == endKind ? interpolatorFor(kind) : invalidValue;
    }

    double span = m_intervalEnd.first - m_intervalStart.first;
    double local = span == 0 ? 1.0 : (e - m_intervalStart.first) / span;
    m_currentValue = interpolated(m_intervalStart.second, m_intervalEnd.second, local);
    updateCurrentValue(m_currentValue);
}
