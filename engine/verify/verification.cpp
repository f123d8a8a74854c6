#include "verification.h"

#include <cmath>

namespace drennix {

double deviationAllowance(double tolerance, int decimals, double radiusDifference)
{
    return tolerance + std::sqrt(3.0) / 2 * std::pow(10.0, -decimals) + radiusDifference;
}

}  // namespace drennix
