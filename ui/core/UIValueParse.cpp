#include "ui/core/UIValueParse.h"

#include <climits>
#include <cwchar>
#include <string_view>

#include "sys/StringFormat.h"

using namespace std::string_view_literals;

namespace {

// The values are read in place: a layout applies thousands of them while a window is built.

// ParseDecimal of the part that begins at `at`: the C reader stops at the comma ending it.
int DecimalAt(const std::wstring& text, size_t at) {
  return ParseDecimalAt(text.c_str() + at);
}

int CoordinateAt(const std::wstring& text, size_t at) {
  int v = DecimalAt(text, at);
  return v > kMaxLayoutValue ? kMaxLayoutValue : v < -kMaxLayoutValue ? -kMaxLayoutValue : v;
}

// Where each of the first `max` comma-separated parts of `text` from `from` begins; answers
// how many parts there are in all.
size_t PartStarts(const std::wstring& text, size_t from, size_t* starts, size_t max) {
  size_t count = 0;
  size_t start = from;
  for (;;) {
    if (count < max)
      starts[count] = start;
    ++count;
    size_t comma = text.find(L',', start);
    if (comma == std::wstring::npos)
      return count;
    start = comma + 1;
  }
}

uint32_t HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return 0;
}

}  // namespace

int ParseCoordinate(const std::wstring& text) {
  int v = ParseDecimal(text);
  return v > kMaxLayoutValue ? kMaxLayoutValue : v < -kMaxLayoutValue ? -kMaxLayoutValue : v;
}

int AddSaturated(int a, int b) {
  long long sum = static_cast<long long>(a) + b;
  return static_cast<int>(sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : sum);
}

uint32_t ParseColor(const std::wstring& text) {
  if (text == L"white"sv)
    return 0xFFFFFFFF;
  if (text == L"black"sv)
    return 0xFF60656F;
  size_t pos = 0;
  if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
    pos = 2;
  if (pos < text.size() && text[pos] == L'#')
    ++pos;

  if (text.find(L',', pos) == std::wstring::npos) {
    uint32_t value = 0;
    for (size_t i = pos; i < text.size(); ++i)
      value = (value << 4) | HexDigit(text[i]);
    size_t digits = text.size() - pos;
    if (digits == 0 || digits >= 8)
      return value;
    return value | 0xFE000000;
  }
  size_t starts[4];
  size_t parts = PartStarts(text, pos, starts, 4);
  uint32_t v[4] = {255, 0, 0, 0};
  if (parts == 3) {
    for (int i = 0; i < 3; ++i)
      v[i + 1] = static_cast<uint32_t>(DecimalAt(text, starts[i])) & 0xFF;
  } else if (parts == 4) {
    for (int i = 0; i < 4; ++i)
      v[i] = static_cast<uint32_t>(DecimalAt(text, starts[i])) & 0xFF;
  }
  return (v[0] << 24) | (v[1] << 16) | (v[2] << 8) | v[3];
}

bool ParseBool(const std::wstring& text) {
  return text == L"true"sv || text == L"TRUE"sv || text == L"1"sv || text == L"yes"sv;
}

bool ParseRect(const std::wstring& text, RECT* rect) {
  size_t starts[4];
  if (PartStarts(text, 0, starts, 4) != 4)
    return false;
  int x = CoordinateAt(text, starts[0]);
  int y = CoordinateAt(text, starts[1]);
  rect->left = x;
  rect->top = y;
  rect->right = x + CoordinateAt(text, starts[2]);
  rect->bottom = y + CoordinateAt(text, starts[3]);
  return true;
}

RECT ParseInsets(const std::wstring& text) {
  RECT r = {};
  if (text.empty())
    return r;
  size_t starts[4];
  size_t parts = PartStarts(text, 0, starts, 4);
  LONG* fields[] = {&r.left, &r.top, &r.right, &r.bottom};
  for (size_t i = 0; i < parts && i < 4; ++i)
    *fields[i] = CoordinateAt(text, starts[i]);
  return r;
}
