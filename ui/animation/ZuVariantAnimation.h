#pragma once

#include "ui/animation/ZuAbstractAnimation.h"
#include "ui/animation/ZuEasingCurve.h"
#include "ui/core/ZuVariant.h"

#include <utility>
#include <vector>

// Animates a ZuVariant through key values (progress 0..1 to value) along an
// easing curve; subclasses decide where the current value goes.
class ZuVariantAnimation : public ZuAbstractAnimation {
    ZU_DECLARE_CLASS(ZuVariantAnimation)
public:
    using KeyValue = std::pair<double, ZuVariant>;
    using Interpolator = ZuVariant (*)(const ZuVariant& from, const ZuVariant& to, double progress);

    explicit ZuVariantAnimation(ZuObject* owner = nullptr);

    void setStartValue(const ZuVariant& value) { setKeyValueAt(0.0, value); }
    void setEndValue(const ZuVariant& value) { setKeyValueAt(1.0, value); }
    ZuVariant startValue() const { return keyValueAt(0.0); }
    ZuVariant endValue() const { return keyValueAt(1.0); }
    // Ignored outside [0, 1]; an invalid value removes the key at that step.
    void setKeyValueAt(double step, const ZuVariant& value);
    ZuVariant keyValueAt(double step) const;
    const std::vector<KeyValue>& keyValues() const { return m_keyValues; }

    // Takes effect from the next time update.
    void setEasingCurve(const ZuEasingCurve& curve) { m_easing = curve; }
    const ZuEasingCurve& easingCurve() const { return m_easing; }

    const ZuVariant& currentValue() const { return m_currentValue; }

    // The interpolator of a variant kind (the invalid-value one for kinds
    // that cannot be blended).
    static Interpolator interpolatorFor(int kind);

    void updateCurrentTime(int ms) override;
    virtual void updateCurrentValue(const ZuVariant& value) = 0;
    virtual ZuVariant interpolated(const ZuVariant& from, const ZuVariant& to, double progress) const;

private:
    void recalculateCurrentValue(bool force);

    ZuVariant m_currentValue;
    ZuVariant m_defaultValue;
    std::vector<KeyValue> m_keyValues;
    KeyValue m_intervalStart{0.0, ZuVariant()};
    KeyValue m_intervalEnd{0.0, ZuVariant()};
    ZuEasingCurve m_easing;
    Interpolator m_interpolator;
};
