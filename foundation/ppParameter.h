// The typed value: one value of one of the record field types, carried across every interface of the
// property model (a field read from a record, a property of an element, a grid cell, a message
// parameter). It converts itself to any other type, formats itself as text, and supports arithmetic
// and comparison with a value of another type, which is first converted to its own type.
//
// Conversions never fail: what cannot be converted gives the target's empty value (zero), and a text
// that holds no number gives the target's no-value marker (see ppLong, ppFloat, ppDouble, ppMoney).
// A value owns its text payloads; link and complex values do not own the object they point to, and a
// handle value does not own its handle.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

#include "foundation/DateTimeMs.h"
#include "foundation/DecimalFormat.h"
#include "foundation/DecimalNumber.h"
#include "foundation/NumberFormatter.h"
#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppDouble.h"
#include "foundation/ppFloat.h"
#include "foundation/ppLong.h"
#include "foundation/ppMoney.h"

// The property interface of the database layer; a link value points to one without knowing more.
class iProperty;

class ppParameter {
 public:
  // Type codes; 1 to 7, 13, 14 and 17 are also the record field types.
  enum Type : int32_t {
    kNone = 0,
    kString = 1,     // narrow text
    kLong = 2,       // nullable 32-bit integer
    kMoney = 3,      // ppMoney
    kDouble = 4,     // nullable double
    kDate = 5,       // DateTimeMs
    kTime = 6,       // 32-bit milliseconds
    kBool = 7,       // 0 or 1
    kLink = 8,       // iProperty*, not owned
    kComplex = 9,    // iProperty*, not owned
    kFloat = 13,     // nullable float
    kWideText = 14,  // UTF-16 text
    kBare = 15,      // a code without payload, copied as it is
    kHandle = 16,    // a memory handle (pictures and bitmaps), not owned
    kQuantity = 17,  // DecimalNumber
  };
  // Codes 10, 11 and 12 carry no payload either; a copy of such a value has type kNone.

  ppParameter() = default;
  ppParameter(int32_t n) { SetLong(n); }  // stored without a test: 0x80000000 is a value-less long
  ppParameter(const char* text) { SetString(text); }
  ppParameter(const Vcon::String& text) { SetString(text); }
  ppParameter(const Vcon::WString& text) { SetWString(text); }
  ppParameter(const char16_t* text) { SetWString(text); }
  ppParameter(bool b) { SetBool(b); }
  ppParameter(float f) { SetFloat(ppFloat(f)); }
  ppParameter(double d) { SetDouble(ppDouble(d)); }
  ppParameter(Handle h) { SetHandle(h); }
  explicit ppParameter(iProperty* link) { SetLink(link); }
  ppParameter(ppLong n) { SetLong(n); }
  ppParameter(ppMoney m) { SetMoney(m); }
  ppParameter(ppFloat f) { SetFloat(f); }
  ppParameter(ppDouble d) { SetDouble(d); }
  ppParameter(const DateTimeMs& date) { SetDate(date); }
  ppParameter(const DecimalNumber& q) { SetQuantity(q); }
  // A quantity-typed value (type 17) holding a copy of `q`, for writing and printing quantities.
  static ppParameter FromDecimalNumber(const DecimalNumber& q) { return ppParameter(q); }

  ppParameter(const ppParameter& other);
  ppParameter(ppParameter&& other) noexcept;
  ppParameter& operator=(const ppParameter& other);
  ppParameter& operator=(ppParameter&& other) noexcept;
  virtual ~ppParameter() = default;

  // The typed setters: each releases the old payload and builds the new one.
  void SetBool(bool b);
  void SetLong(ppLong n);
  void SetLong(int32_t n);
  void SetFloat(ppFloat f);
  void SetDouble(ppDouble d);
  void SetMoney(ppMoney m);
  void SetDate(const DateTimeMs& date);
  void SetTime(int32_t milliseconds);
  // (((days x 24 + hours) x 60 + minutes) x 60 + seconds) x 1000 milliseconds, kept to 32 bits.
  void SetTime(int32_t days, int32_t hours, int32_t minutes, int32_t seconds);
  void SetString(const char* text);
  void SetString(const Vcon::String& text);
  void SetWString(const Vcon::WString& text);
  void SetHandle(Handle h);
  void SetQuantity(const DecimalNumber& q);
  void SetLink(iProperty* link);
  void SetComplex(iProperty* object);
  // A code without payload (kNone, 10 to 12, kBare); any other code gives kNone.
  void SetBareType(int32_t code);
  // Releases the payload; the value becomes kNone.
  void ReleasePayload();

  int32_t Type() const { return type_; }
  Handle GetHandle() const;    // the payload of a kHandle value, else null
  iProperty* GetLink() const;  // the payload of a kLink or kComplex value, else null
  bool IsLink() const { return type_ == kLink || type_ == kComplex; }

  // Conversions (see ppParameter.cpp for the table by type).
  int32_t ToInt() const { return ToLong(); }
  int32_t ToLong() const;
  int64_t ToInt64() const;
  float ToFloat() const;
  double ToDouble() const;
  bool ToBool() const;
  ppLong ToPPLong() const { return ppLong(ToLong()); }
  ppFloat ToPPFloat() const { return ppFloat(ToFloat()); }
  ppDouble ToPPDouble() const { return ppDouble(ToDouble()); }
  ppMoney ToMoney() const;
  DateTimeMs ToDate() const;
  int32_t ToTime() const;  // milliseconds
  DecimalNumber ToQuantity() const;

  // The value as text. width and precision are -1 when not given; fill, sign and exponent are those
  // of FormatNumber; separators gives the decimal character and then the grouping character.
  // Texts are themselves (wide text narrowed), money is its amount text (ppMoney::ToString), a
  // quantity is written with the plain number format (that format's trimmed decimals without a
  // precision, none with 0, else as many as asked), a bool is "True"/"False" ("1"/"0" with
  // kFillZeros) fitted to the width, and every other type goes through FormatNumber as a double.
  Vcon::String ToString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                        std::string_view separators, uint8_t exponent) const;
  // As above, money written with `moneyFormat` instead of ppMoney's process-wide default format.
  Vcon::String ToString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                        std::string_view separators, uint8_t exponent,
                        const DecimalFormat& moneyFormat) const;
  // ToString(-1, -1, 0, 0, ",.", 0): numbers as whole numbers without grouping (a quantity keeps its
  // decimals).
  Vcon::String AsString() const;
  // Wide text is returned unchanged; anything else is ToString widened.
  Vcon::WString ToWString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                          std::string_view separators, uint8_t exponent) const;
  Vcon::WString AsWString() const;
  static Vcon::String FormatRatio(int64_t a, int64_t b, int32_t width, int32_t precision, uint8_t fill,
                                  uint8_t sign, std::string_view separators, uint8_t exponent) {
    return ::FormatRatio(a, b, width, precision, fill, sign, separators, exponent);
  }

  // The program-wide plain number format that quantities are written with; the preferences replace
  // it whenever they are loaded or saved.
  static const DecimalFormat& PlainNumberFormat();
  static void SetPlainNumberFormat(const DecimalFormat& format);

  // Arithmetic: the left type is promoted first (a string on the right makes the left a string
  // unless it is wide text, money makes it money unless it is text, a date turns a time into a date,
  // wide text makes it wide text), the right value is converted to that type, and the result has it.
  // Numbers without value give a value without value; an overflowing long becomes one too.
  ppParameter operator+(const ppParameter& b) const;
  ppParameter operator-(const ppParameter& b) const;
  ppParameter operator*(const ppParameter& b) const;
  ppParameter operator-() const;

  // The right value converted to this value's type, then compared in that type. Types without a
  // comparison (none, date, link, complex, handle and the codes without payload) answer false to all
  // four, != included; a NaN double equals nothing.
  bool operator==(const ppParameter& b) const;
  bool operator!=(const ppParameter& b) const;
  bool operator<(const ppParameter& b) const;
  bool operator>(const ppParameter& b) const;

  // This value converted to `type` (kString, kLong, ... kQuantity); other codes give a copy.
  ppParameter ConvertedTo(int32_t type) const;

 private:
  using Payload = std::variant<std::monostate, Vcon::String, Vcon::WString, int32_t, int64_t, float, double,
                               iProperty*, Handle, DecimalNumber>;

  template <class T>
  const T& Get() const {
    return std::get<T>(payload_);
  }
  // -1, 0 or 1, or nothing for unordered values and types without a comparison.
  std::optional<int> Compare(const ppParameter& b) const;
  bool IsComparable() const;

  int32_t type_ = kNone;
  // By type: String (1), WString (14), int32_t (2, 6, 7), int64_t (3 raw, 5 milliseconds), float (13),
  // double (4), iProperty* (8, 9), Handle (16), DecimalNumber (17); monostate otherwise.
  Payload payload_;
};
