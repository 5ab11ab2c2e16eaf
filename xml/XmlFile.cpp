#include "xml/XmlFile.h"

#include <windows.h>

#include <io.h>
#include <cerrno>
#include <cstdlib>

XmlFile::~XmlFile() {
  if (file_)
    fclose(file_);
}

void XmlFile::RecordError() {
  // The runtime leaves the system's code behind; its own copy serves when that was reset.
  unsigned long code = GetLastError();
  if (code == 0)
    code = _doserrno;
  error_ = code ? code : ERROR_GEN_FAILURE;
}

bool XmlFile::Open(const std::wstring& path, const wchar_t* mode) {
  SetLastError(0);
  _doserrno = 0;
  file_ = _wfopen(path.c_str(), mode);
  if (!file_) {
    RecordError();
    return false;
  }
  if (mode[0] == L'a')
    _fseeki64(file_, 0, SEEK_END);
  return true;
}

int64_t XmlFile::Size() {
  int64_t size = _filelengthi64(_fileno(file_));
  if (size < 0)
    RecordError();
  return size;
}

size_t XmlFile::Read(void* buffer, size_t length) {
  size_t n = fread(buffer, 1, length, file_);
  if (n < length && ferror(file_))
    RecordError();
  return n;
}

bool XmlFile::Write(const void* data, size_t length) {
  if (length == 0)
    return true;
  SetLastError(0);
  _doserrno = 0;
  if (fwrite(data, 1, length, file_) == length)
    return true;
  RecordError();
  return false;
}

bool XmlFile::Close() {
  FILE* f = file_;
  file_ = nullptr;
  SetLastError(0);
  _doserrno = 0;
  if (fclose(f) == 0)
    return true;
  RecordError();
  return false;
}

std::wstring XmlFile::ErrorMessage(unsigned long code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring message(buffer ? buffer : L"", buffer ? n : 0);
  if (buffer)
    LocalFree(buffer);
  size_t lineBreak = message.find_first_of(L"\r\n");
  if (lineBreak != std::wstring::npos)
    message.resize(lineBreak);
  return message;
}
