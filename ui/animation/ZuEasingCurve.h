#pragma once

// Parameters of the elastic, back and bounce curves. The object evaluates its
// own curve; a plain object (family None) only carries the values and
// evaluates the simple curve of the type it was made for.
class ZuEasingParameters {
public:
    enum Family { None, Elastic, Back, Bounce };
    // Sub-kinds of a family, in type-code order.
    enum SubKind { In = 0, Out = 1, InOut = 2, OutIn = 3 };

    static constexpr double kDefaultPeriod = 0.3;
    static constexpr double kDefaultAmplitude = 1.0;
    static constexpr double kDefaultOvershoot = 1.70158;

    ZuEasingParameters(Family family, int subKind, double (*plainCurve)(double) = nullptr)
        : m_family(family), m_subKind(subKind), m_plainCurve(plainCurve) {}
    virtual ~ZuEasingParameters() = default;

    virtual double value(double t) const;
    // Copies only the values that matter to the family.
    virtual ZuEasingParameters* clone() const;

    Family family() const { return m_family; }
    int subKind() const { return m_subKind; }

    double period = kDefaultPeriod;
    double amplitude = kDefaultAmplitude;
    double overshoot = kDefaultOvershoot;

private:
    Family m_family;
    int m_subKind;
    double (*m_plainCurve)(double);
};

// An easing curve: maps the linear progress of an animation (0..1) to the
// eased progress. Every curve maps 0 to exactly 0 and 1 to exactly 1.
class ZuEasingCurve {
public:
    using Function = double (*)(double);

    // The codes are part of the interface.
    enum Type {
        EaseLinear = 0,
        EaseInQuad = 1,
        EaseOutQuad = 2,
        EaseInOutQuad = 3,
        EaseOutInQuad = 4,
        EaseInElastic = 29,
        EaseOutElastic = 30,
        EaseInOutElastic = 31,
        EaseOutInElastic = 32,
        EaseInBack = 33,
        EaseOutBack = 34,
        EaseInOutBack = 35,
        EaseOutInBack = 36,
        EaseInBounce = 37,
        EaseOutBounce = 38,
        EaseInOutBounce = 39,
        EaseOutInBounce = 40,
        EaseCustom = 45,
    };

    ZuEasingCurve(int type = EaseLinear);
    ZuEasingCurve(const ZuEasingCurve& other);
    ZuEasingCurve& operator=(const ZuEasingCurve& other);
    ~ZuEasingCurve();

    void setType(int type);
    int type() const { return m_type; }
    // Type EaseCustom with the given function.
    void setCustomType(Function function);
    Function customType() const { return m_type == EaseCustom ? m_function : nullptr; }

    // Setting a parameter on a curve without parameters gives it a plain
    // parameter object; the curve keeps evaluating its own type.
    double amplitude() const;
    void setAmplitude(double amplitude);
    double period() const;
    void setPeriod(double period);
    double overshoot() const;
    void setOvershoot(double overshoot);

    // t is clamped to [0, 1] first.
    double valueForProgress(double t) const;

    const ZuEasingParameters* parameters() const { return m_parameters; }

private:
    ZuEasingParameters* ensureParameters();

    int m_type = EaseLinear;
    Function m_function = nullptr;
    ZuEasingParameters* m_parameters = nullptr;
};
