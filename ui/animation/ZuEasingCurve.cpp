#include "ui/animation/ZuEasingCurve.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double easeLinear(double t) {
    return t;
}
double easeInQuad(double t) {
    return t * t;
}
double easeOutQuad(double t) {
    return -t * (t - 2);
}
double easeInOutQuad(double t) {
    double a = t * 2;
    if (a < 1)
        return 0.5 * a * a;
    return -0.5 * ((a - 1) * (a - 3) - 1);
}
double easeOutInQuad(double t) {
    double a = t * 2;
    if (t < 0.5)
        return -0.5 * a * (a - 2);
    return 0.5 * (a - 1) * (a - 1) + 0.5;
}

ZuEasingCurve::Function simpleCurve(int type) {
    switch (type) {
    case ZuEasingCurve::EaseLinear:
        return easeLinear;
    case ZuEasingCurve::EaseInQuad:
        return easeInQuad;
    case ZuEasingCurve::EaseOutQuad:
        return easeOutQuad;
    case ZuEasingCurve::EaseInOutQuad:
        return easeInOutQuad;
    case ZuEasingCurve::EaseOutInQuad:
        return easeOutInQuad;
    default:
        return nullptr;
    }
}

// The elastic curves: a sine of the given period under an exponential
// envelope; an amplitude below the change (1 or 0.5) is raised to it.
double elasticIn(double t, double start, double change, double a, double p) {
    if (t <= 0)
        return start;
    if (t >= 1)
        return start + change;
    double s;
    if (a < std::fabs(change)) {
        a = change;
        s = p / 4;
    } else {
        s = p / (2 * kPi) * std::asin(change / a);
    }
    t -= 1;
    return -(a * std::pow(2.0, 10 * t) * std::sin((t - s) * (2 * kPi) / p)) + start;
}

double elasticOut(double t, double start, double change, double a, double p) {
    if (t <= 0)
        return start;
    if (t >= 1)
        return start + change;
    double s;
    if (a < change) {
        a = change;
        s = p / 4;
    } else {
        s = p / (2 * kPi) * std::asin(change / a);
    }
    return a * std::pow(2.0, -10 * t) * std::sin((t - s) * (2 * kPi) / p) + change + start;
}

double elasticInOut(double t, double a, double p) {
    if (t <= 0)
        return 0;
    if (t >= 1)
        return 1;
    t *= 2;
    double s;
    if (a < 1) {
        a = 1;
        s = p / 4;
    } else {
        s = p / (2 * kPi) * std::asin(1 / a);
    }
    if (t < 1)
        return -0.5 * (a * std::pow(2.0, 10 * (t - 1)) * std::sin((t - 1 - s) * (2 * kPi) / p));
    return a * std::pow(2.0, -10 * (t - 1)) * std::sin((t - 1 - s) * (2 * kPi) / p) * 0.5 + 1;
}

double backIn(double t, double s) {
    return t * t * ((s + 1) * t - s);
}
double backOut(double t, double s) {
    t -= 1;
    return t * t * ((s + 1) * t + s) + 1;
}
double backInOut(double t, double s) {
    t *= 2;
    s *= 1.525;
    if (t < 1)
        return 0.5 * (t * t * ((s + 1) * t - s));
    t -= 2;
    return 0.5 * (t * t * ((s + 1) * t + s) + 2);
}

// Four parabolic bounces rising to `change`; the amplitude scales the
// bounces after the first.
double bounceOut(double t, double change, double a) {
    if (t >= 1)
        return change;
    if (t < 4 / 11.0)
        return change * (7.5625 * t * t);
    if (t < 8 / 11.0) {
        t -= 6 / 11.0;
        return -a * (1 - (7.5625 * t * t + 0.75)) + change;
    }
    if (t < 10 / 11.0) {
        t -= 9 / 11.0;
        return -a * (1 - (7.5625 * t * t + 0.9375)) + change;
    }
    t -= 21 / 22.0;
    return -a * (1 - (7.5625 * t * t + 0.984375)) + change;
}
double bounceIn(double t, double a) {
    return 1 - bounceOut(1 - t, 1, a);
}

double familyValue(ZuEasingParameters::Family family, int subKind, const ZuEasingParameters& p, double t) {
    using P = ZuEasingParameters;
    switch (family) {
    case P::Elastic:
        switch (subKind) {
        case P::In:
            return elasticIn(t, 0, 1, p.amplitude, p.period);
        case P::Out:
            return elasticOut(t, 0, 1, p.amplitude, p.period);
        case P::InOut:
            return elasticInOut(t, p.amplitude, p.period);
        default:
            return t < 0.5 ? elasticOut(t * 2, 0, 0.5, p.amplitude, p.period)
                           : elasticIn(2 * t - 1, 0.5, 0.5, p.amplitude, p.period);
        }
    case P::Back:
        switch (subKind) {
        case P::In:
            return backIn(t, p.overshoot);
        case P::Out:
            return backOut(t, p.overshoot);
        case P::InOut:
            return backInOut(t, p.overshoot);
        default:
            return t < 0.5 ? backOut(2 * t, p.overshoot) / 2 : backIn(2 * t - 1, p.overshoot) / 2 + 0.5;
        }
    case P::Bounce:
        switch (subKind) {
        case P::In:
            return bounceIn(t, p.amplitude);
        case P::Out:
            return bounceOut(t, 1, p.amplitude);
        case P::InOut:
            return t < 0.5 ? bounceIn(2 * t, p.amplitude) / 2
                           : bounceOut(2 * t - 1, 1, p.amplitude) / 2 + 0.5;
        default:
            return t < 0.5 ? bounceOut(t * 2, 0.5, p.amplitude) : 1 - bounceOut(2 - 2 * t, 0.5, p.amplitude);
        }
    default:
        return t;
    }
}

} // namespace

double ZuEasingParameters::value(double t) const {
    if (m_family == None)
        return m_plainCurve ? m_plainCurve(t) : t;
    // Rounding inside the formulas must not move the end points.
    if (t <= 0)
        return 0;
    if (t >= 1)
        return 1;
    return familyValue(m_family, m_subKind, *this, t);
}

ZuEasingParameters* ZuEasingParameters::clone() const {
    auto* copy = new ZuEasingParameters(m_family, m_subKind, m_plainCurve);
    switch (m_family) {
    case Elastic:
        copy->period = period;
        copy->amplitude = amplitude;
        break;
    case Back:
        copy->overshoot = overshoot;
        break;
    case Bounce:
        copy->amplitude = amplitude;
        break;
    case None:
        copy->period = period;
        copy->amplitude = amplitude;
        copy->overshoot = overshoot;
        break;
    }
    return copy;
}

ZuEasingCurve::ZuEasingCurve(int type) : m_type(-1) {
    setType(type);
}

ZuEasingCurve::ZuEasingCurve(const ZuEasingCurve& other)
    : m_type(other.m_type), m_function(other.m_function),
      m_parameters(other.m_parameters ? other.m_parameters->clone() : nullptr) {}

ZuEasingCurve& ZuEasingCurve::operator=(const ZuEasingCurve& other) {
    if (this == &other)
        return *this;
    ZuEasingParameters* copy = other.m_parameters ? other.m_parameters->clone() : nullptr;
    delete m_parameters;
    m_parameters = copy;
    m_type = other.m_type;
    m_function = other.m_function;
    return *this;
}

ZuEasingCurve::~ZuEasingCurve() {
    delete m_parameters;
}

void ZuEasingCurve::setType(int type) {
    if (type == m_type)
        return;
    double amplitude = -1, period = -1, overshoot = -1;
    if (m_parameters) {
        amplitude = m_parameters->amplitude;
        period = m_parameters->period;
        overshoot = m_parameters->overshoot;
        delete m_parameters;
        m_parameters = nullptr;
    }
    bool family = type >= EaseInElastic && type <= EaseOutInBounce;
    if (family || amplitude != -1 || period != -1 || overshoot != -1) {
        if (family) {
            auto kind = static_cast<ZuEasingParameters::Family>(ZuEasingParameters::Elastic +
                                                                (type - EaseInElastic) / 4);
            m_parameters = new ZuEasingParameters(kind, (type - EaseInElastic) % 4);
        } else {
            // Parameters carried over from an earlier family curve must not
            // turn this curve linear: the plain object evaluates the type.
            m_parameters = new ZuEasingParameters(ZuEasingParameters::None, 0, simpleCurve(type));
        }
        if (amplitude != -1)
            m_parameters->amplitude = amplitude;
        if (period != -1)
            m_parameters->period = period;
        if (overshoot != -1)
            m_parameters->overshoot = overshoot;
        m_function = nullptr;
    } else if (type != EaseCustom) {
        m_function = simpleCurve(type);
    }
    m_type = type;
}

void ZuEasingCurve::setCustomType(Function function) {
    setType(EaseCustom);
    m_function = function;
}

ZuEasingParameters* ZuEasingCurve::ensureParameters() {
    if (!m_parameters) {
        m_parameters = new ZuEasingParameters(ZuEasingParameters::None, 0, m_function);
        m_function = nullptr;
    }
    return m_parameters;
}

double ZuEasingCurve::amplitude() const {
    return m_parameters ? m_parameters->amplitude : ZuEasingParameters::kDefaultAmplitude;
}
void ZuEasingCurve::setAmplitude(double amplitude) {
    ensureParameters()->amplitude = amplitude;
}
double ZuEasingCurve::period() const {
    return m_parameters ? m_parameters->period : ZuEasingParameters::kDefaultPeriod;
}
void ZuEasingCurve::setPeriod(double period) {
    ensureParameters()->period = period;
}
double ZuEasingCurve::overshoot() const {
    return m_parameters ? m_parameters->overshoot : ZuEasingParameters::kDefaultOvershoot;
}
void ZuEasingCurve::setOvershoot(double overshoot) {
    ensureParameters()->overshoot = overshoot;
}

double ZuEasingCurve::valueForProgress(double t) const {
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    if (m_function)
        return m_function(t);
    if (m_parameters)
        return m_parameters->value(t);
    return t;
}
