#include "sys/IniFile.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cwchar>
#include <vector>

#include "sys/Folders.h"
#include "sys/PinnedFolder.h"
#include "sys/StringFormat.h"

namespace {

bool SameIniName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos)
    return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

// The section a header line names; empty for any other line.
std::wstring SectionOf(const std::wstring& line) {
  const std::wstring text = Trimmed(line);
  if (text.size() < 2 || text[0] != L'[')
    return std::wstring();
  const size_t close = text.find(L']');
  return Trimmed(text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

// A UTF-16 file keeps its mark; anything else is edited byte by byte, each byte one character,
// so that whatever code page it is in, the bytes outside the edited line stay as they were.
bool IsUtf16(const std::string& bytes) {
  return bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
}

std::wstring Decode(const std::string& bytes) {
  std::wstring text;
  if (IsUtf16(bytes)) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
  } else {
    for (char c : bytes)
      text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  }
  return text;
}

std::string Encode(const std::wstring& text, bool utf16) {
  std::string bytes = utf16 ? std::string("\xFF\xFE") : std::string();
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    if (utf16)
      bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace

std::string WithIniValue(const std::string& file,
                         const std::wstring& section,
                         const std::wstring& key,
                         const std::wstring& value) {
  const std::wstring text = Decode(file);
  std::vector<std::wstring> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find(L'\n', start);
    const size_t next = end == std::wstring::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  // A UTF-8 mark would hide the first header.
  std::wstring firstLine = lines.empty() ? std::wstring() : lines[0];
  if (firstLine.compare(0, 3, L"\xEF\xBB\xBF") == 0)
    firstLine.erase(0, 3);
  size_t header = lines.size();
  for (size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
    if (SameIniName(SectionOf(i == 0 ? firstLine : lines[i]), section))
      header = i;
  }
  if (header == lines.size()) {
    if (!lines.empty() && lines.back().back() != L'\n')
      lines.back() += L"\r\n";
    lines.push_back(L"[" + section + L"]\r\n");
  }
  size_t insertAt = header + 1;
  for (size_t i = header + 1; i < lines.size() && SectionOf(lines[i]).empty(); ++i) {
    const size_t equals = lines[i].find(L'=');
    if (equals != std::wstring::npos && SameIniName(Trimmed(lines[i].substr(0, equals)), key)) {
      const std::wstring& line = lines[i];
      size_t end = line.size();
      if (end > 0 && line[end - 1] == L'\n')
        --end;
      if (end > 0 && line[end - 1] == L'\r')
        --end;
      lines[i] = Trimmed(line.substr(0, equals)) + L"=" + value + line.substr(end);
      insertAt = lines.size() + 1;
      break;
    }
    if (!Trimmed(lines[i]).empty())
      insertAt = i + 1;
  }
  if (insertAt <= lines.size()) {
    if (insertAt > 0 && lines[insertAt - 1].back() != L'\n')
      lines[insertAt - 1] += L"\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 key + L"=" + value + L"\r\n");
  }
  std::wstring joined;
  for (const std::wstring& line : lines)
    joined += line;
  return Encode(joined, IsUtf16(file));
}

std::wstring IniFile::ReadString(const std::wstring& key, const std::wstring& fallback) const {
  wchar_t buffer[kIniValueBufferSize] = {};
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                          kIniValueBufferSize, path.c_str());
  return std::wstring(buffer, length);
}

int IniFile::ReadInt(const std::wstring& key, int fallback) const {
  std::wstring text = ReadString(key, std::wstring());
  return text.empty() ? fallback : ParseDecimal(text);
}

bool IniFile::WriteInt(const std::wstring& key, int value) const {
  const auto [folderPath, name] = SplitPath(path);
  const PinnedFolder folder(folderPath);
  std::string bytes;
  // A file that is there but cannot be read is left alone rather than rewritten from nothing.
  if (!folder.ReadIfThere(name, bytes))
    return false;
  return folder.Replace(name, WithIniValue(bytes, section, key, WFormat(L"%d", value)));
}
