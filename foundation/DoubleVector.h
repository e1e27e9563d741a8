// A growable array of doubles used as a cache key: shapes and pictures carry one, and drawing
// contexts copy it to find what they built for the owner (a display list, a texture). A new array
// holds the single placeholder value -1.0, which marks an owner that is never cached; the first real
// value appended replaces it.
#pragma once

#include <cstddef>
#include <vector>

class DoubleVector {
 public:
  static constexpr double kPlaceholder = -1.0;

  DoubleVector() = default;

  // Appends `value`, first dropping the leading entry when it is the placeholder.
  void AppendReplacingPlaceholder(double value);
  void Append(double value) { values_.push_back(value); }

  size_t Size() const { return values_.size(); }
  double operator[](size_t i) const { return values_[i]; }
  const std::vector<double>& Values() const { return values_; }
  // True while the first value is exactly the placeholder (or the array is empty).
  bool IsPlaceholder() const;

  bool operator==(const DoubleVector& other) const = default;
  auto operator<=>(const DoubleVector& other) const = default;

 private:
  std::vector<double> values_{kPlaceholder};
};
