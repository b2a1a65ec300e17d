#pragma once

#include <QString>

#include <vector>

// Distribution-free figures for the views' verdicts: medians, their 95 % interval from order
// statistics, and the sign test, with no assumption about the shape of the values.
namespace OrderStatistics {

// The median; the mean of the middle two for an even count. The values are reordered.
double median(std::vector<double>& values);

// The rank k (from 1) of a 95 % interval for the median of n sorted values, x(k) to
// x(n + 1 - k): the largest k with P(X < k) <= 2.5 % for X binomial(n, 1/2); 0 where n is too
// small for any.
int intervalRank(int n);

// The two-sided p of a sign test where `more` of n fall on one side.
double signTestP(int more, int n);

// The fewest of n on one side for p < 0.05; more than n where no count of n is enough.
int signTestNeeded(int n);

// A value in tenths as text with its sign and one decimal, "." in every locale: "+0.2", "-1.0".
QString signedTenths(double tenths);
// A whole number with its sign: "+2", "-1", "+0".
QString signedWhole(double value);

} // namespace OrderStatistics
