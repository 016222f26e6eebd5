#include "combat/projectile.h"

#include <cstdlib>

namespace gs {

bool pointsAtGun(i16 x, i16 height, i16 gunX, i16 dx, i16 dy, i16 tolerance) {
    const int towardsGun = x - gunX;
    if (towardsGun == 0 || dx == 0) return false;
    const long double slope = static_cast<long double>(height) / towardsGun;
    const long double low = static_cast<long double>(std::abs(dy + tolerance)) / dx;
    const long double high = static_cast<long double>(std::abs(dy - tolerance)) / dx;
    return low < slope && slope < high;
}

void diveStep(const DiveRule& rule, i16 x, i16 height, i16& dx, i16& dy, i16& toX, i16& toHeight) {
    const std::int64_t moveX = rule.speedLeftward ? -std::int64_t{dx} : std::int64_t{dx};
    if (rule.roundWhole) {
        toX = w16(tenthEven(10 * std::int64_t{x} + moveX));
        toHeight = w16(tenthEven(dy + 10 * std::int64_t{height}));
    } else {
        toX = w16(x + tenthAway(moveX));
        toHeight = w16(height + tenthAway(dy));
    }
    dx = w16(scaleEven(dx, rule.growX));
    dy = w16(scaleEven(dy, rule.growY));
}

} // namespace gs
