#include "tasks/WebAddress.h"

namespace {

bool IsAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// The scheme before the first ":" by the URL rules (a letter, then letters, digits, "+", "-"
// and "."), lower-cased; "" when the text has none.
std::wstring SchemeOf(const std::wstring& text) {
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos || colon == 0 || !IsAsciiLetter(text[0]))
    return std::wstring();
  std::wstring scheme;
  for (size_t i = 0; i < colon; ++i) {
    const wchar_t c = text[i];
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != L'+' && c != L'-' && c != L'.')
      return std::wstring();
    scheme += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  }
  return scheme;
}

bool IsHostLabel(const std::wstring& label) {
  if (label.empty() || label.front() == L'-' || label.back() == L'-')
    return false;
  for (wchar_t c : label) {
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != L'-' && c < 0x80)
      return false;
  }
  return true;
}

bool StartsWithHostName(const std::wstring& text) {
  std::wstring authority = text.substr(0, text.find_first_of(L"/?#"));
  const size_t colon = authority.find(L':');
  if (colon != std::wstring::npos) {
    const std::wstring port = authority.substr(colon + 1);
    if (port.empty())
      return false;
    for (wchar_t c : port) {
      if (!IsDigit(c))
        return false;
    }
    authority.resize(colon);
  }
  size_t labels = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = authority.find(L'.', start);
    if (!IsHostLabel(authority.substr(start, dot - start)))
      return false;
    ++labels;
    if (dot == std::wstring::npos)
      break;
    start = dot + 1;
  }
  return labels >= 2;
}

}  // namespace

std::wstring EscapeListSeparator(const std::wstring& typed) {
  std::wstring escaped;
  for (wchar_t c : typed) {
    if (c == L'|')
      escaped += L"%7C";
    else
      escaped += c;
  }
  return escaped;
}

std::wstring AddressToOpen(const std::wstring& piece) {
  const std::wstring scheme = SchemeOf(piece);
  // "://" too: the shell might read "http:C:\x.bat" as something other than a web address.
  if ((scheme == L"http" || scheme == L"https" || scheme == L"ftp") &&
      piece.compare(scheme.size(), 3, L"://") == 0)
    return piece;
  // "www.x.com:8080/a" reads as the scheme "www.x.com", so a host name is looked for in every
  // piece the schemes above did not take.
  if (StartsWithHostName(piece))
    return L"http://" + piece;
  return std::wstring();
}
