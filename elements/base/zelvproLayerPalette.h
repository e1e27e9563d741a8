// The layer palette's two services the plan elements use: the plan scale and the running number that
// new elements take as their saveId (and calculation lines as their id). The document window owns
// the one palette of the run. User-interface thread only.
#pragma once

#include <cstdint>

class zelvproLayerPalette {
 public:
  static constexpr double kStartScale = 15.0;

  virtual ~zelvproLayerPalette() = default;
  // Millimetres per top-view pixel.
  virtual double GetScale() { return scale_; }
  void SetScale(double scale) { scale_ = scale; }
  // The current running number (1 at start); the counter then moves on by one.
  virtual int32_t NextId() { return next_++; }

 private:
  double scale_ = kStartScale;
  int32_t next_ = 1;
};
