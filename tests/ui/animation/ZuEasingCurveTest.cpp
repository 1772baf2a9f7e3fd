#include "ui/animation/ZuEasingCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
using Curve = std::function<double(double)>;

// The curves written out independently of the toolkit's formulas.
double outQuad(double t) {
    return 1 - (1 - t) * (1 - t);
}
double inBack(double t, double s) {
    return (s + 1) * t * t * t - s * t * t;
}
double outBack(double t, double s) {
    double u = t - 1;
    return 1 + (s + 1) * u * u * u + s * u * u;
}
double inElastic(double t, double a, double p) {
    if (t == 0)
        return 0; // the envelope is 2^-10 there, the curve starts exactly at 0
    return -a * std::pow(2.0, 10 * (t - 1)) * std::sin(2 * kPi * (t - 1) / p - std::asin(1 / a));
}
double outElastic(double t, double a, double p) {
    return a * std::pow(2.0, -10 * t) * std::sin(2 * kPi * t / p - std::asin(1 / a)) + 1;
}
// Out-bounce rising to `top`: one parabola, then three hops below `top`.
double outBounce(double t, double a, double top = 1) {
    const double k = 7.5625;
    if (t < 4 / 11.0)
        return top * k * t * t;
    if (t < 8 / 11.0)
        return top - a * (0.25 - k * (t - 6 / 11.0) * (t - 6 / 11.0));
    if (t < 10 / 11.0)
        return top - a * (0.0625 - k * (t - 9 / 11.0) * (t - 9 / 11.0));
    return top - a * (0.015625 - k * (t - 21 / 22.0) * (t - 21 / 22.0));
}
double inBounce(double t, double a) {
    return 1 - outBounce(1 - t, a);
}

struct Case {
    const char* name;
    int type;
    Curve expected;
};

std::vector<Case> cases() {
    const double s = 1.70158, s2 = s * 1.525, p = 0.3, a = 1.0;
    return {
        {"Linear", ZuEasingCurve::EaseLinear, [](double t) { return t; }},
        {"InQuad", ZuEasingCurve::EaseInQuad, [](double t) { return t * t; }},
        {"OutQuad", ZuEasingCurve::EaseOutQuad, outQuad},
        {"InOutQuad", ZuEasingCurve::EaseInOutQuad,
         [](double t) { return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t); }},
        {"OutInQuad", ZuEasingCurve::EaseOutInQuad,
         [](double t) { return t < 0.5 ? 0.5 * outQuad(2 * t) : 0.5 + 0.5 * (2 * t - 1) * (2 * t - 1); }},
        {"InElastic", ZuEasingCurve::EaseInElastic, [=](double t) { return inElastic(t, a, p); }},
        {"OutElastic", ZuEasingCurve::EaseOutElastic, [=](double t) { return outElastic(t, a, p); }},
        {"InOutElastic", ZuEasingCurve::EaseInOutElastic,
         [=](double t) {
             return t < 0.5 ? 0.5 * inElastic(2 * t, a, p) : 0.5 * outElastic(2 * t - 1, a, p) + 0.5;
         }},
        {"OutInElastic", ZuEasingCurve::EaseOutInElastic,
         [=](double t) {
             // Halves of height 0.5: the phase shift is asin(0.5 / a).
             double shift = std::asin(0.5 / a);
             if (t < 0.5)
                 return a * std::pow(2.0, -20 * t) * std::sin(2 * kPi * 2 * t / p - shift) + 0.5;
             double u = 2 * t - 1;
             if (u == 0)
                 return 0.5; // an elastic curve starts exactly at its base
             return 0.5 - a * std::pow(2.0, 10 * (u - 1)) * std::sin(2 * kPi * (u - 1) / p - shift);
         }},
        {"InBack", ZuEasingCurve::EaseInBack, [=](double t) { return inBack(t, s); }},
        {"OutBack", ZuEasingCurve::EaseOutBack, [=](double t) { return outBack(t, s); }},
        {"InOutBack", ZuEasingCurve::EaseInOutBack,
         [=](double t) { return t < 0.5 ? 0.5 * inBack(2 * t, s2) : 0.5 * outBack(2 * t - 1, s2) + 0.5; }},
        {"OutInBack", ZuEasingCurve::EaseOutInBack,
         [=](double t) { return t < 0.5 ? 0.5 * outBack(2 * t, s) : 0.5 + 0.5 * inBack(2 * t - 1, s); }},
        {"InBounce", ZuEasingCurve::EaseInBounce, [=](double t) { return inBounce(t, a); }},
        {"OutBounce", ZuEasingCurve::EaseOutBounce, [=](double t) { return outBounce(t, a); }},
        {"InOutBounce", ZuEasingCurve::EaseInOutBounce,
         [=](double t) { return t < 0.5 ? 0.5 * inBounce(2 * t, a) : 0.5 * outBounce(2 * t - 1, a) + 0.5; }},
        {"OutInBounce", ZuEasingCurve::EaseOutInBounce,
         [=](double t) { return t < 0.5 ? outBounce(2 * t, a, 0.5) : 1 - outBounce(2 - 2 * t, a, 0.5); }},
    };
}

const double kPoints[] = {0.05, 0.1, 0.25, 0.3, 0.45, 0.5, 0.55, 0.7, 0.75, 0.9, 0.95};

} // namespace

TEST(ZuEasingCurve, EveryCurveMatchesItsClosedForm) {
    for (const Case& c : cases()) {
        ZuEasingCurve curve(c.type);
        EXPECT_EQ(curve.type(), c.type) << c.name;
        for (double t : kPoints)
            EXPECT_NEAR(curve.valueForProgress(t), c.expected(t), 1e-12) << c.name << " at " << t;
    }
}

TEST(ZuEasingCurve, EndPointsAreExactAndProgressIsClamped) {
    for (const Case& c : cases()) {
        ZuEasingCurve curve(c.type);
        EXPECT_EQ(curve.valueForProgress(0.0), 0.0) << c.name;
        EXPECT_EQ(curve.valueForProgress(1.0), 1.0) << c.name;
        EXPECT_EQ(curve.valueForProgress(-0.5), 0.0) << c.name;
        EXPECT_EQ(curve.valueForProgress(2.0), 1.0) << c.name;
    }
}

TEST(ZuEasingCurve, KnownValues) {
    ZuEasingCurve inOut(ZuEasingCurve::EaseInOutQuad), outIn(ZuEasingCurve::EaseOutInQuad);
    EXPECT_DOUBLE_EQ(inOut.valueForProgress(0.25), 0.125);
    EXPECT_DOUBLE_EQ(inOut.valueForProgress(0.5), 0.5);
    EXPECT_DOUBLE_EQ(inOut.valueForProgress(0.75), 0.875);
    EXPECT_DOUBLE_EQ(outIn.valueForProgress(0.25), 0.375);
    EXPECT_DOUBLE_EQ(outIn.valueForProgress(0.75), 0.625);
    // The first bounce lands at 4/11; back-in dips below 0 by about a tenth.
    EXPECT_NEAR(ZuEasingCurve(ZuEasingCurve::EaseOutBounce).valueForProgress(4 / 11.0), 1.0, 1e-12);
    const double s = 1.70158, dip = 2 * s / (3 * (s + 1));
    EXPECT_NEAR(ZuEasingCurve(ZuEasingCurve::EaseInBack).valueForProgress(dip), -0.1, 1e-4);
    // Elastic curves swing past the target.
    EXPECT_GT(ZuEasingCurve(ZuEasingCurve::EaseOutElastic).valueForProgress(0.1), 1.0);
}

TEST(ZuEasingCurve, ParametersChangeTheCurve) {
    ZuEasingCurve elastic(ZuEasingCurve::EaseInElastic);
    EXPECT_DOUBLE_EQ(elastic.period(), 0.3);
    EXPECT_DOUBLE_EQ(elastic.amplitude(), 1.0);
    elastic.setAmplitude(2.0);
    elastic.setPeriod(0.45);
    for (double t : kPoints)
        EXPECT_NEAR(elastic.valueForProgress(t), inElastic(t, 2.0, 0.45), 1e-12) << t;
    // An amplitude below the height of the curve is raised to it.
    elastic.setAmplitude(0.5);
    EXPECT_NEAR(elastic.valueForProgress(0.8), inElastic(0.8, 1.0, 0.45), 1e-12);

    ZuEasingCurve back(ZuEasingCurve::EaseOutBack);
    back.setOvershoot(3.0);
    EXPECT_NEAR(back.valueForProgress(0.6), outBack(0.6, 3.0), 1e-12);

    ZuEasingCurve bounce(ZuEasingCurve::EaseOutBounce);
    bounce.setAmplitude(0.5);
    EXPECT_NEAR(bounce.valueForProgress(0.7), outBounce(0.7, 0.5), 1e-12);
    EXPECT_NEAR(bounce.valueForProgress(0.2), outBounce(0.2, 0.5), 1e-12);
}

TEST(ZuEasingCurve, CopiesKeepTheirFamilysParameters) {
    ZuEasingCurve elastic(ZuEasingCurve::EaseOutElastic);
    elastic.setPeriod(0.5);
    elastic.setAmplitude(1.5);
    elastic.setOvershoot(9.0); // not an elastic parameter: not copied
    ZuEasingCurve copy(elastic);
    EXPECT_DOUBLE_EQ(copy.period(), 0.5);
    EXPECT_DOUBLE_EQ(copy.amplitude(), 1.5);
    EXPECT_DOUBLE_EQ(copy.overshoot(), 1.70158);
    EXPECT_DOUBLE_EQ(copy.valueForProgress(0.3), elastic.valueForProgress(0.3));
    elastic.setPeriod(0.2);
    EXPECT_DOUBLE_EQ(copy.period(), 0.5) << "the copy owns its parameters";

    ZuEasingCurve back(ZuEasingCurve::EaseInBack);
    back.setOvershoot(2.5);
    back.setAmplitude(4.0);
    ZuEasingCurve assigned;
    assigned = back;
    EXPECT_EQ(assigned.type(), ZuEasingCurve::EaseInBack);
    EXPECT_DOUBLE_EQ(assigned.overshoot(), 2.5);
    EXPECT_DOUBLE_EQ(assigned.amplitude(), 1.0);
    EXPECT_NEAR(assigned.valueForProgress(0.4), inBack(0.4, 2.5), 1e-12);
}

TEST(ZuEasingCurve, TypeChangesKeepParametersAndTheNewCurve) {
    ZuEasingCurve curve(ZuEasingCurve::EaseInBack);
    curve.setOvershoot(2.0);
    curve.setType(ZuEasingCurve::EaseOutBack);
    EXPECT_NEAR(curve.valueForProgress(0.4), outBack(0.4, 2.0), 1e-12) << "the overshoot stays";
    // A simple curve after a family curve is that simple curve, not a line.
    curve.setType(ZuEasingCurve::EaseInQuad);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(0.5), 0.25);
    EXPECT_DOUBLE_EQ(curve.overshoot(), 2.0);
    curve.setType(ZuEasingCurve::EaseInBack);
    EXPECT_NEAR(curve.valueForProgress(0.4), inBack(0.4, 2.0), 1e-12);

    // Codes without a curve of their own run linearly.
    for (int type : {5, 17, 28, 41, 44, 60}) {
        ZuEasingCurve other(type);
        EXPECT_DOUBLE_EQ(other.valueForProgress(0.3), 0.3) << type;
    }
}

TEST(ZuEasingCurve, CustomFunction) {
    ZuEasingCurve curve(ZuEasingCurve::EaseInQuad);
    curve.setCustomType([](double t) { return std::sqrt(t); });
    EXPECT_EQ(curve.type(), ZuEasingCurve::EaseCustom);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(0.25), 0.5);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(4.0), 1.0) << "clamped before the function";
    curve.setAmplitude(3.0);
    EXPECT_DOUBLE_EQ(curve.valueForProgress(0.25), 0.5) << "a parameter keeps the custom function";
}
