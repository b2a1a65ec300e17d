#include "tallies/OrderStatistics.h"

#include <algorithm>
#include <cmath>

namespace {

// P(X = k) for X binomial(n, 1/2), in logs so that large n stay finite.
double binomialHalf(int n, int k)
{
    return std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) -
                    n * std::log(2.0));
}

} // namespace

namespace OrderStatistics {

double median(std::vector<double>& values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 != 0)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

int intervalRank(int n)
{
    double below = 0; // P(X < k)
    int k = 0;
    while (k < n) {
        below += binomialHalf(n, k);
        if (below > 0.025)
            break;
        ++k;
    }
    return 2 * k > n ? 0 : k;
}

double signTestP(int more, int n)
{
    const int side = std::max(more, n - more);
    double tail = 0;
    for (int k = side; k <= n; ++k)
        tail += binomialHalf(n, k);
    return std::min(1.0, 2 * tail);
}

int signTestNeeded(int n)
{
    int needed = (n + 1) / 2;
    while (needed <= n && signTestP(needed, n) >= 0.05)
        ++needed;
    return needed;
}

QString signedTenths(double tenths)
{
    const long long rounded = std::llround(tenths);
    const long long magnitude = std::llabs(rounded);
    return QStringLiteral("%1%2.%3")
        .arg(rounded < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

QString signedWhole(double value)
{
    const long long rounded = std::llround(value);
    return (rounded < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           QString::number(std::llabs(rounded));
}

} // namespace OrderStatistics
