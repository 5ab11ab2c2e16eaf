#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A file opened through the C runtime in binary mode ("rb", "wb" or "ab"), closed on
// destruction. Every failing call records the system's error code for the log.
class XmlFile {
 public:
  XmlFile() = default;
  ~XmlFile();
  XmlFile(const XmlFile&) = delete;
  XmlFile& operator=(const XmlFile&) = delete;

  bool Open(const std::wstring& path, const wchar_t* mode);
  // Size of the file in bytes; -1 on failure.
  int64_t Size();
  // Reads up to `length` bytes; fewer only at the end of the file or on failure (see failed()).
  size_t Read(void* buffer, size_t length);
  bool Write(const void* data, size_t length);
  bool Close();

  bool failed() const { return error_ != 0; }
  unsigned long error() const { return error_; }
  // Records `code` as the failure, for conditions the runtime does not report.
  void Fail(unsigned long code) { error_ = code; }

  // The system's message for `code`, cut at its first line break.
  static std::wstring ErrorMessage(unsigned long code);

 private:
  void RecordError();

  FILE* file_ = nullptr;
  unsigned long error_ = 0;
};
