#include "calculation/CalculatorFieldVisibility.h"

#include <array>

#include "platform/ResetList.h"

namespace {

constexpr int32_t kFieldCount = 89;

constexpr std::array<uint32_t, kFieldCount> MakeTable() {
  std::array<uint32_t, kFieldCount> t{};
  // Every line type but Empty (1-13).
  for (int32_t f : {6, 25, 39, 40, 65, 74}) t[size_t(f)] = 0x3FFE;
  // Priced lines: Calculation Items, element lines and Item/Service (1, 2, 3, 8).
  for (int32_t f : {7,  8,  11, 12, 13, 20, 21, 44, 45, 52, 54, 57, 59, 60,
                    63, 64, 67, 68, 69, 72, 73, 76, 77, 85, 86, 87, 88})
    t[size_t(f)] = 0x10E;
  // Discounts also on Discount lines (10).
  for (int32_t f : {22, 56}) t[size_t(f)] = 0x50E;
  // Totals also on subtotals, the Total, Discount, SubTotal and VAT/Tax lines (4, 5, 10, 11, 12).
  for (int32_t f : {53, 55, 58}) t[size_t(f)] = 0x1D3E;
  // Weight and volume totals on priced lines and the two totals (1-5, 8).
  for (int32_t f : {30, 31}) t[size_t(f)] = 0x13E;
  // Element lines only (1, 2, 3).
  for (int32_t f : {46, 47, 49, 78, 79, 80, 81, 82, 83, 84}) t[size_t(f)] = 0xE;
  for (int32_t f : {14, 70}) t[size_t(f)] = 0x6;
  // Tag lines (6, 7).
  for (int32_t f : {19, 71}) t[size_t(f)] = 0xC0;
  return t;
}

constexpr std::array<uint32_t, kFieldCount> kTypes = MakeTable();

// Owned by the user-interface thread.
int32_t gDescriptionField = kDefaultDescriptionField;

[[maybe_unused]] const bool kReset = plat::ResetList::Add(
    "calculation: price list description field", [] { gDescriptionField = kDefaultDescriptionField; });

}  // namespace

uint32_t CalculatorFieldTypes(int32_t field) {
  return field >= 0 && field < kFieldCount ? kTypes[size_t(field)] : 0;
}

bool CalculatorFieldShown(int32_t field, int32_t type) {
  if (field == gDescriptionField) return true;
  return type >= 0 && type < 32 && (CalculatorFieldTypes(field) & (1u << type)) != 0;
}

int32_t CalculatorDescriptionField() { return gDescriptionField; }

void SetCalculatorDescriptionField(int32_t field) { gDescriptionField = field; }
