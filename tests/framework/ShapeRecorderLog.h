// A drawing-command receiver for tests: every call becomes one line of text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "framework/iShape.h"

class ShapeRecorderLog : public iShape {
 public:
  std::vector<std::string> calls;

  void Reset() override { calls.push_back("Reset"); }
  void MoveToF(float x, float y) override { Add("MoveTo", {x, y}); }
  void LineToF(float x, float y) override { Add("LineTo", {x, y}); }
  void CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override {
    Add("CurveTo", {c1x, c1y, c2x, c2y, x, y});
  }
  void ArcAroundTo(float cx, float cy, uint8_t cw, float x, float y) override {
    Add("ArcAround", {cx, cy, float(cw), x, y});
  }
  void ArcInBoxTo(float l, float t, float r, float b, float x, float y, uint8_t cw) override {
    Add("ArcInBox", {l, t, r, b, x, y, float(cw)});
  }
  void End() override { calls.push_back("End"); }
  void SetFont(const char* face, int32_t size, int32_t, float) override {
    calls.push_back("SetFont " + std::string(face) + " " + std::to_string(size));
  }
  void DrawText(const char* text) override { calls.push_back("Text " + std::string(text)); }

 private:
  void Add(const char* name, std::initializer_list<float> values) {
    std::string s = name;
    for (float v : values) {
      char buf[32];
      std::snprintf(buf, sizeof buf, " %g", double(v));
      s += buf;
    }
    calls.push_back(s);
  }
};
