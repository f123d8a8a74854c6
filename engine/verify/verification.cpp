#include "verification.h"

#include <cmath>

#include "segmentation.h"

namespace drennix {

double deviationAllowance(double tolerance, int decimals, double radiusDifference)
{
    return tolerance + roundingAllowance(decimals) + radiusDifference;
}

}  // namespace drennix
