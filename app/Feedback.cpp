#include "app/Feedback.h"

#include "app/MakerAddresses.h"
#include "sys/OsVersion.h"
#include "sys/StringFormat.h"

namespace {

const wchar_t kProductTitle[] = L"Quelm定时任务";

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

}  // namespace

std::string UrlEncode(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::wstring BuildFeedbackUrl(const Identity& identity, const std::wstring& osText) {
  std::wstring title = Utf8ToWide(UrlEncode(WideToUtf8(kProductTitle)));
  std::wstring os = Utf8ToWide(UrlEncode(WideToUtf8(osText)));
  return kFeedbackPage + WFormat(L"?appname=%ls&version=%ls&appid=%d&unionid=%d&osinfo=%ls",
                                 title.c_str(), identity.version.c_str(), kApplicationId,
                                 static_cast<int>(identity.unionId), os.c_str());
}

std::wstring BuildFeedbackUrl() {
  return BuildFeedbackUrl(AppIdentity(), GetOsVersionText());
}
