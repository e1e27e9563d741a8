#include "foundation/ppParameter.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

// Conversions by source type (no value means the target's marker; "zero" is the empty value):
//
// source      long / 64-bit        double             money             date            time
// text        decimal integer      decimal number     whole units       zero            zero
// long        as is                exact              whole units       year n          n hours
// money       integer part         amount             as is             year n          n hours
// double      truncated            as is              x 10000, trunc.   year n          n hours
// date        whole days           days               whole days        as is           low 32 bits of ms
// time        whole minutes        minutes            whole minutes     ms              as is
// bool        0 or 1               0.0 or 1.0         0 or 1            year 0 or 1     0 or 1 hours
// float       truncated            widened            x 10000, trunc.   year n          n hours
// quantity    truncated            amount             whole units       year n          n hours
// other       zero                 zero               zero              zero            zero
//
// A float goes through the double; a quantity through the 64-bit integer, the double (doubles and
// floats), or exactly (money). A long too large for 32 bits has no value.

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerHour = 3600000;

bool IsPayloadlessCode(int32_t type) { return type == 10 || type == 11 || type == 12; }

// The low 32 bits, as the 32-bit time type keeps a millisecond count.
int32_t Low32(int64_t n) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(n))); }

DateTimeMs DateFromMs(int64_t ms) {
  const auto bits = static_cast<uint64_t>(ms);
  return DateTimeMs(static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32));
}

// A 64-bit integer as a nullable long: no value, or a number outside 32 bits, gives the marker.
int32_t NarrowToLong(int64_t n) {
  if (n == kNoValueInt64 || n < std::numeric_limits<int32_t>::min() ||
      n > std::numeric_limits<int32_t>::max()) {
    return ppLong::kNoValue;
  }
  return static_cast<int32_t>(n);
}

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  return text.substr(i);
}

// A decimal integer at the start of the text, as "%lld" reads it: blanks, an optional sign, digits;
// what follows is ignored. No digits, or a number beyond 64 bits, give kNoValueInt64.
int64_t ReadInteger(std::string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  __int128 n = 0;
  size_t digits = 0;
  for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    n = n * 10 + (text[digits] - '0');
    if (n > static_cast<__int128>(std::numeric_limits<int64_t>::max()) + 1) return kNoValueInt64;
  }
  if (digits == 0) return kNoValueInt64;
  if (negative) n = -n;
  if (n > std::numeric_limits<int64_t>::max()) return kNoValueInt64;
  return static_cast<int64_t>(n);
}

// A decimal number at the start of the text, as "%f" reads it, in double precision. No number, or
// one beyond the double range, gives the ppDouble marker.
double ReadReal(std::string_view text) {
  text = SkipBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double d = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), d);
  if (result.ec != std::errc()) return ppDouble::kNoValue;
  return d;
}

DecimalFormat& PlainNumberFormatStorage() {
  static DecimalFormat format;
  return format;
}

int32_t PromotedType(int32_t left, int32_t right) {
  using P = ppParameter;
  if (right == P::kString && left != P::kWideText) return P::kString;
  if (right == P::kMoney && left != P::kString && left != P::kWideText) return P::kMoney;
  if (right == P::kDate && left == P::kTime) return P::kDate;
  if (right == P::kWideText) return P::kWideText;
  return left;
}

// The arithmetic of nullable numbers: no value in, no value out.
template <class Nullable, class Op>
Nullable Combine(Nullable a, Nullable b, Op op) {
  if (a.IsNull() || b.IsNull()) return Nullable();
  return Nullable(op(a.Value(), b.Value()));
}

ppLong CombineLongs(ppLong a, ppLong b, int64_t (*op)(int64_t, int64_t)) {
  if (a.IsNull() || b.IsNull()) return ppLong();
  return ppLong(NarrowToLong(op(a.Value(), b.Value())));
}

template <class T>
std::optional<int> Order(const T& a, const T& b) {
  if (a < b) return -1;
  if (b < a) return 1;
  if (a == b) return 0;
  return std::nullopt;  // NaN
}

Vcon::String BoolText(bool value, int32_t width, uint8_t fill) {
  Vcon::String text = fill == kFillZeros ? (value ? "1" : "0") : (value ? "True" : "False");
  if (width < 0) return text;
  const auto field = static_cast<size_t>(width);
  if (text.size() > field) {
    text.resize(field);
  } else {
    text.insert(0, field - text.size(), fill == kFillZeros ? '0' : ' ');
  }
  return text;
}

}  // namespace

ppParameter::ppParameter(const ppParameter& other)
    : type_(IsPayloadlessCode(other.type_) ? kNone : other.type_), payload_(other.payload_) {}

ppParameter::ppParameter(ppParameter&& other) noexcept
    : type_(IsPayloadlessCode(other.type_) ? kNone : other.type_), payload_(std::move(other.payload_)) {
  other.ReleasePayload();
}

ppParameter& ppParameter::operator=(const ppParameter& other) {
  if (this != &other) {
    payload_ = other.payload_;
    type_ = IsPayloadlessCode(other.type_) ? kNone : other.type_;
  }
  return *this;
}

ppParameter& ppParameter::operator=(ppParameter&& other) noexcept {
  if (this != &other) {
    payload_ = std::move(other.payload_);
    type_ = IsPayloadlessCode(other.type_) ? kNone : other.type_;
    other.ReleasePayload();
  }
  return *this;
}

void ppParameter::ReleasePayload() {
  payload_ = std::monostate();
  type_ = kNone;
}

void ppParameter::SetBool(bool b) {
  payload_ = int32_t{b ? 1 : 0};
  type_ = kBool;
}

void ppParameter::SetLong(ppLong n) { SetLong(n.Value()); }

void ppParameter::SetLong(int32_t n) {
  payload_ = n;
  type_ = kLong;
}

void ppParameter::SetFloat(ppFloat f) {
  payload_ = f.Value();
  type_ = kFloat;
}

void ppParameter::SetDouble(ppDouble d) {
  payload_ = d.Value();
  type_ = kDouble;
}

void ppParameter::SetMoney(ppMoney m) {
  payload_ = m.Raw();
  type_ = kMoney;
}

void ppParameter::SetDate(const DateTimeMs& date) {
  payload_ = date.Value();
  type_ = kDate;
}

void ppParameter::SetTime(int32_t milliseconds) {
  payload_ = milliseconds;
  type_ = kTime;
}

void ppParameter::SetTime(int32_t days, int32_t hours, int32_t minutes, int32_t seconds) {
  // In 64 bits so a long span wraps like the 32-bit field instead of overflowing.
  const int64_t total = ((int64_t{days} * 24 + hours) * 60 + minutes) * 60 + seconds;
  SetTime(Low32(static_cast<int64_t>(static_cast<uint64_t>(total) * 1000u)));
}

void ppParameter::SetString(const char* text) { SetString(Vcon::String(text)); }

void ppParameter::SetString(const Vcon::String& text) {
  payload_ = text;
  type_ = kString;
}

void ppParameter::SetWString(const Vcon::WString& text) {
  payload_ = text;
  type_ = kWideText;
}

void ppParameter::SetHandle(Handle h) {
  payload_ = h;
  type_ = kHandle;
}

void ppParameter::SetQuantity(const DecimalNumber& q) {
  payload_ = q;
  type_ = kQuantity;
}

void ppParameter::SetLink(iProperty* link) {
  payload_ = link;
  type_ = kLink;
}

void ppParameter::SetComplex(iProperty* object) {
  payload_ = object;
  type_ = kComplex;
}

void ppParameter::SetBareType(int32_t code) {
  ReleasePayload();
  if (IsPayloadlessCode(code) || code == kBare) type_ = code;
}

Handle ppParameter::GetHandle() const { return type_ == kHandle ? Get<Handle>() : nullptr; }

iProperty* ppParameter::GetLink() const { return IsLink() ? Get<iProperty*>() : nullptr; }

int64_t ppParameter::ToInt64() const {
  switch (type_) {
    case kString:
      return ReadInteger(Get<Vcon::String>());
    case kWideText:
      return ReadInteger(Get<Vcon::WString>().Narrow());
    case kLong:
      return ppLong(Get<int32_t>()).ToInt64();
    case kMoney:
      return ppMoney::FromRaw(Get<int64_t>()).IntegerPart();
    case kDouble:
      return ppDouble(Get<double>()).ToInt64();
    case kDate:
      return Get<int64_t>() / DateTimeMs::kMsPerDay;
    case kTime:
      return Get<int32_t>() / kMsPerMinute;
    case kBool:
      return Get<int32_t>();
    case kFloat:
      return ppFloat(Get<float>()).ToInt64();
    case kQuantity: {
      const DecimalNumber& q = Get<DecimalNumber>();
      return q.IsMaxValue() ? kNoValueInt64 : q.ToInt64();
    }
    default:
      return 0;
  }
}

int32_t ppParameter::ToLong() const { return NarrowToLong(ToInt64()); }

double ppParameter::ToDouble() const {
  switch (type_) {
    case kString:
      return ReadReal(Get<Vcon::String>());
    case kWideText:
      return ReadReal(Get<Vcon::WString>().Narrow());
    case kLong:
      return ppLong(Get<int32_t>()).ToDouble();
    case kMoney:
      return ppMoney::FromRaw(Get<int64_t>()).ToDouble();
    case kDouble:
      return Get<double>();
    case kDate:
      return static_cast<double>(Get<int64_t>()) / static_cast<double>(DateTimeMs::kMsPerDay);
    case kTime:
      return Get<int32_t>() / static_cast<double>(kMsPerMinute);
    case kBool:
      return Get<int32_t>();
    case kFloat:
      return ppFloat(Get<float>()).ToDouble();
    case kQuantity: {
      const DecimalNumber& q = Get<DecimalNumber>();
      return q.IsMaxValue() ? ppDouble::kNoValue : q.ToDouble();
    }
    default:
      return 0.0;
  }
}

float ppParameter::ToFloat() const { return ppFloat::FromDouble(ToDouble()).Value(); }

ppMoney ppParameter::ToMoney() const {
  switch (type_) {
    case kLong:
      return ppMoney::FromLong(ppLong(Get<int32_t>()));
    case kMoney:
      return ppMoney::FromRaw(Get<int64_t>());
    case kDouble:
      return ppMoney::FromDouble(Get<double>());
    case kFloat:
      return ppMoney::FromFloat(ppFloat(Get<float>()));
    case kString:
    case kWideText:
    case kDate:
    case kTime:
    case kBool:
    case kQuantity: {
      const int64_t units = ToInt64();
      return units == kNoValueInt64 ? ppMoney() : ppMoney::FromInteger(units);
    }
    default:
      return ppMoney::FromRaw(0);
  }
}

DateTimeMs ppParameter::ToDate() const {
  switch (type_) {
    case kDate:
      return DateFromMs(Get<int64_t>());
    case kTime:
      return DateTimeMs(Get<int32_t>());
    case kLong:
    case kMoney:
    case kDouble:
    case kBool:
    case kFloat:
    case kQuantity: {
      // The number is a year; a number without value (or beyond 32 bits) gives the empty date.
      const int32_t year = ToLong();
      return year == ppLong::kNoValue ? DateTimeMs() : DateTimeMs(0, 0, year);
    }
    default:
      return DateTimeMs();
  }
}

int32_t ppParameter::ToTime() const {
  switch (type_) {
    case kTime:
      return Get<int32_t>();
    case kDate:
      return Low32(Get<int64_t>());
    case kLong:
    case kMoney:
    case kDouble:
    case kBool:
    case kFloat:
    case kQuantity: {
      // The number is a count of hours.
      const int32_t hours = ToLong();
      return hours == ppLong::kNoValue ? 0 : Low32(hours * kMsPerHour);
    }
    default:
      return 0;
  }
}

DecimalNumber ppParameter::ToQuantity() const {
  switch (type_) {
    case kQuantity:
      return Get<DecimalNumber>();
    case kMoney: {
      // Exact: the raw amount is a quantity with 4 places, when it fits the quantity's 61 bits.
      const int64_t raw = Get<int64_t>();
      constexpr int64_t kLimit = int64_t{1} << 59;
      if (raw == ppMoney::kNoValue || raw >= kLimit || raw <= -kLimit) return DecimalNumber::MaxValue();
      DecimalNumber q;
      q.SetRawWord(raw * 8 + 4);
      return q;
    }
    case kDouble:
    case kFloat: {
      const double d = ToDouble();
      if (d == ppDouble::kNoValue) return DecimalNumber::MaxValue();
      DecimalNumber q;
      q.SetFromDouble(d, 4);
      return q;
    }
    case kString:
    case kWideText:
    case kLong:
    case kDate:
    case kTime:
    case kBool: {
      const int64_t n = ToInt64();
      return n == kNoValueInt64 ? DecimalNumber::MaxValue() : DecimalNumber(n);
    }
    default:
      return DecimalNumber();
  }
}

bool ppParameter::ToBool() const {
  if (type_ == kBool) return Get<int32_t>() != 0;
  return *this != ppParameter(0);
}

ppParameter ppParameter::ConvertedTo(int32_t type) const {
  if (type == type_) return *this;
  ppParameter out;
  switch (type) {
    case kString:
      out.SetString(AsString());
      break;
    case kWideText:
      out.SetWString(AsWString());
      break;
    case kLong:
      out.SetLong(ToLong());
      break;
    case kMoney:
      out.SetMoney(ToMoney());
      break;
    case kDouble:
      out.SetDouble(ppDouble(ToDouble()));
      break;
    case kDate:
      out.SetDate(ToDate());
      break;
    case kTime:
      out.SetTime(ToTime());
      break;
    case kBool:
      out.SetBool(ToBool());
      break;
    case kFloat:
      out.SetFloat(ppFloat(ToFloat()));
      break;
    case kQuantity:
      out.SetQuantity(ToQuantity());
      break;
    default:
      return *this;
  }
  return out;
}

Vcon::String ppParameter::ToString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                                   std::string_view separators, uint8_t exponent) const {
  return ToString(width, precision, fill, sign, separators, exponent, ppMoney::DefaultFormat());
}

Vcon::String ppParameter::ToString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                                   std::string_view separators, uint8_t exponent,
                                   const DecimalFormat& moneyFormat) const {
  switch (type_) {
    case kNone:
      return "<NOTYPE>";
    case kLink:
      return "<LINK>";
    case kComplex:
      return "<COMPLEX>";
    case kString:
      return Get<Vcon::String>();
    case kWideText:
      return Get<Vcon::WString>().Narrow();
    case kMoney:
      return ppMoney::FromRaw(Get<int64_t>()).ToNarrowString(&moneyFormat);
    case kBool:
      return BoolText(Get<int32_t>() != 0, width, fill);
    case kQuantity: {
      const DecimalNumber& q = Get<DecimalNumber>();
      if (q.IsMaxValue()) return "NaN";
      // Without a precision a quantity shows what it holds (1.5 m of worktop, not 1), trimmed by the
      // plain format; a precision of 0 gives the whole number.
      DecimalFormat format = PlainNumberFormat();
      if (precision >= 0) {
        format.decimalsOn = precision > 0;
        format.decimals = static_cast<int16_t>(std::min(precision, int32_t{7}));
      }
      return q.Format(format);
    }
    default:
      return FormatNumber(ToDouble(), width, precision, fill, sign, separators, exponent);
  }
}

Vcon::String ppParameter::AsString() const { return ToString(-1, -1, 0, 0, ",.", 0); }

Vcon::WString ppParameter::ToWString(int32_t width, int32_t precision, uint8_t fill, uint8_t sign,
                                     std::string_view separators, uint8_t exponent) const {
  if (type_ == kWideText) return Get<Vcon::WString>();
  return WideFromString(ToString(width, precision, fill, sign, separators, exponent));
}

Vcon::WString ppParameter::AsWString() const { return ToWString(-1, -1, 0, 0, ",.", 0); }

const DecimalFormat& ppParameter::PlainNumberFormat() { return PlainNumberFormatStorage(); }

void ppParameter::SetPlainNumberFormat(const DecimalFormat& format) { PlainNumberFormatStorage() = format; }

ppParameter ppParameter::operator+(const ppParameter& b) const {
  const int32_t type = PromotedType(type_, b.type_);
  ppParameter a = ConvertedTo(type);
  const ppParameter c = b.ConvertedTo(type);
  switch (type) {
    case kString:
      a.SetString(a.Get<Vcon::String>() + c.Get<Vcon::String>());
      break;
    case kWideText:
      a.SetWString(a.Get<Vcon::WString>() + c.Get<Vcon::WString>());
      break;
    case kLong:
      a.SetLong(CombineLongs(a.ToPPLong(), c.ToPPLong(), [](int64_t x, int64_t y) { return x + y; }));
      break;
    case kMoney:
      a.SetMoney(a.ToMoney() + c.ToMoney());
      break;
    case kDouble:
      a.SetDouble(Combine(a.ToPPDouble(), c.ToPPDouble(), std::plus<double>()));
      break;
    case kFloat:
      a.SetFloat(Combine(a.ToPPFloat(), c.ToPPFloat(), std::plus<float>()));
      break;
    case kDate:
      a.SetDate(DateFromMs(static_cast<int64_t>(static_cast<uint64_t>(a.Get<int64_t>()) +
                                                static_cast<uint64_t>(c.Get<int64_t>()))));
      break;
    case kTime:
      a.SetTime(Low32(int64_t{a.Get<int32_t>()} + c.Get<int32_t>()));
      break;
    case kQuantity: {
      DecimalNumber q = a.Get<DecimalNumber>();
      q += c.Get<DecimalNumber>();
      a.SetQuantity(q);
      break;
    }
    default:
      break;
  }
  return a;
}

ppParameter ppParameter::operator-(const ppParameter& b) const {
  const int32_t type = PromotedType(type_, b.type_);
  ppParameter a = ConvertedTo(type);
  const ppParameter c = b.ConvertedTo(type);
  switch (type) {
    case kLong:
      a.SetLong(CombineLongs(a.ToPPLong(), c.ToPPLong(), [](int64_t x, int64_t y) { return x - y; }));
      break;
    case kMoney:
      a.SetMoney(a.ToMoney() - c.ToMoney());
      break;
    case kDouble:
      a.SetDouble(Combine(a.ToPPDouble(), c.ToPPDouble(), std::minus<double>()));
      break;
    case kFloat:
      a.SetFloat(Combine(a.ToPPFloat(), c.ToPPFloat(), std::minus<float>()));
      break;
    case kDate: {
      // The difference of two dates is a time span.
      const uint64_t difference =
          static_cast<uint64_t>(a.Get<int64_t>()) - static_cast<uint64_t>(c.Get<int64_t>());
      a.SetTime(Low32(static_cast<int64_t>(difference)));
      break;
    }
    case kTime:
      a.SetTime(Low32(int64_t{a.Get<int32_t>()} - c.Get<int32_t>()));
      break;
    case kQuantity: {
      DecimalNumber q = a.Get<DecimalNumber>();
      q -= c.Get<DecimalNumber>();
      a.SetQuantity(q);
      break;
    }
    default:
      break;
  }
  return a;
}

ppParameter ppParameter::operator*(const ppParameter& b) const {
  const int32_t type = PromotedType(type_, b.type_);
  ppParameter a = ConvertedTo(type);
  const ppParameter c = b.ConvertedTo(type);
  switch (type) {
    case kLong:
      a.SetLong(CombineLongs(a.ToPPLong(), c.ToPPLong(), [](int64_t x, int64_t y) { return x * y; }));
      break;
    case kMoney:
      a.SetMoney(a.ToMoney() * c.ToMoney());
      break;
    case kDouble:
      a.SetDouble(Combine(a.ToPPDouble(), c.ToPPDouble(), std::multiplies<double>()));
      break;
    case kFloat:
      a.SetFloat(Combine(a.ToPPFloat(), c.ToPPFloat(), std::multiplies<float>()));
      break;
    case kTime: {
      // A span times a factor; a product no 64-bit count holds gives an empty span.
      const int64_t product = TruncateToInt64(a.Get<int32_t>() * b.ToDouble());
      a.SetTime(product == kNoValueInt64 ? 0 : Low32(product));
      break;
    }
    case kQuantity: {
      DecimalNumber q = a.Get<DecimalNumber>();
      q *= c.Get<DecimalNumber>();
      a.SetQuantity(q);
      break;
    }
    default:
      break;
  }
  return a;
}

ppParameter ppParameter::operator-() const {
  ppParameter a = *this;
  switch (type_) {
    case kLong:
      // The only long whose negation overflows is the no-value marker, which stays as it is.
      if (!ToPPLong().IsNull()) a.SetLong(-Get<int32_t>());
      break;
    case kMoney:
      a.SetMoney(-ToMoney());
      break;
    case kDouble:
      if (!ToPPDouble().IsNull()) a.SetDouble(ppDouble(-Get<double>()));
      break;
    case kFloat:
      if (!ToPPFloat().IsNull()) a.SetFloat(ppFloat(-Get<float>()));
      break;
    case kQuantity:
      a.SetQuantity(0.0 - Get<DecimalNumber>());
      break;
    default:
      break;
  }
  return a;
}

bool ppParameter::IsComparable() const {
  switch (type_) {
    case kString:
    case kLong:
    case kMoney:
    case kDouble:
    case kTime:
    case kBool:
    case kFloat:
    case kWideText:
    case kQuantity:
      return true;
    default:
      return false;
  }
}

std::optional<int> ppParameter::Compare(const ppParameter& b) const {
  if (!IsComparable()) return std::nullopt;
  const ppParameter c = b.ConvertedTo(type_);
  switch (type_) {
    case kString:
      return Order(std::string_view(Get<Vcon::String>()), std::string_view(c.Get<Vcon::String>()));
    case kWideText:
      return Order(std::u16string_view(Get<Vcon::WString>()), std::u16string_view(c.Get<Vcon::WString>()));
    case kMoney:
      return Order(Get<int64_t>(), c.Get<int64_t>());
    case kDouble:
      return Order(Get<double>(), c.Get<double>());
    case kFloat:
      return Order(Get<float>(), c.Get<float>());
    case kQuantity:
      return Order(Get<DecimalNumber>(), c.Get<DecimalNumber>());
    default:
      return Order(Get<int32_t>(), c.Get<int32_t>());  // long, time, bool
  }
}

bool ppParameter::operator==(const ppParameter& b) const {
  // Texts compare as NUL-terminated sequences, as the string classes do.
  if (type_ == kString) return Get<Vcon::String>() == b.ConvertedTo(kString).Get<Vcon::String>();
  if (type_ == kWideText) return Get<Vcon::WString>() == b.ConvertedTo(kWideText).Get<Vcon::WString>();
  return Compare(b) == 0;
}

bool ppParameter::operator!=(const ppParameter& b) const { return IsComparable() && !(*this == b); }

bool ppParameter::operator<(const ppParameter& b) const { return Compare(b) == -1; }

bool ppParameter::operator>(const ppParameter& b) const { return Compare(b) == 1; }
