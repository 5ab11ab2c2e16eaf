#include "ui/core/UIValueParse.h"

#include <climits>
#include <vector>

#include "sys/StringFormat.h"

namespace {

std::vector<std::wstring> SplitAtCommas(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(L',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::wstring::npos)
      return parts;
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
  if (text == L"white")
    return 0xFFFFFFFF;
  if (text == L"black")
    return 0xFF60656F;
  size_t pos = 0;
  if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
    pos = 2;
  if (pos < text.size() && text[pos] == L'#')
    ++pos;
  std::wstring rest = text.substr(pos);

  if (rest.find(L',') == std::wstring::npos) {
    uint32_t value = 0;
    for (wchar_t c : rest)
      value = (value << 4) | HexDigit(c);
    if (rest.empty() || rest.size() >= 8)
      return value;
    return value | 0xFE000000;
  }
  std::vector<std::wstring> parts = SplitAtCommas(rest);
  uint32_t v[4] = {255, 0, 0, 0};
  if (parts.size() == 3) {
    for (int i = 0; i < 3; ++i)
      v[i + 1] = static_cast<uint32_t>(ParseDecimal(parts[i])) & 0xFF;
  } else if (parts.size() == 4) {
    for (int i = 0; i < 4; ++i)
      v[i] = static_cast<uint32_t>(ParseDecimal(parts[i])) & 0xFF;
  }
  return (v[0] << 24) | (v[1] << 16) | (v[2] << 8) | v[3];
}

bool ParseBool(const std::wstring& text) {
  return text == L"true" || text == L"TRUE" || text == L"1" || text == L"yes";
}

bool ParseRect(const std::wstring& text, RECT* rect) {
  std::vector<std::wstring> parts = SplitAtCommas(text);
  if (parts.size() != 4)
    return false;
  int x = ParseCoordinate(parts[0]);
  int y = ParseCoordinate(parts[1]);
  rect->left = x;
  rect->top = y;
  rect->right = x + ParseCoordinate(parts[2]);
  rect->bottom = y + ParseCoordinate(parts[3]);
  return true;
}

RECT ParseInsets(const std::wstring& text) {
  RECT r = {};
  if (text.empty())
    return r;
  std::vector<std::wstring> parts = SplitAtCommas(text);
  LONG* fields[] = {&r.left, &r.top, &r.right, &r.bottom};
  for (size_t i = 0; i < parts.size() && i < 4; ++i)
    *fields[i] = ParseCoordinate(parts[i]);
  return r;
}
