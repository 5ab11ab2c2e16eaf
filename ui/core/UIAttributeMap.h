#pragma once

#include <cstdint>
#include <string>

// Every attribute a control was ever given, name -> raw value, the last value of a name winning.
// Names, values and their lengths share one buffer, so that a control's attributes cost one
// allocation; a value that outgrows its room is written anew at the end and the buffer is
// compacted once half of it is stale. UI thread only, like its control.
class UIAttributeMap {
 public:
  void Set(const std::wstring& name, const std::wstring& value);
  // Empty when the name was never set.
  std::wstring Get(const std::wstring& name) const;

 private:
  // A record: name length, value length and value room (two characters each), the name, then
  // the value and its spare room. A stale record has kStale in its name length.
  static constexpr size_t kHeader = 6;
  static constexpr uint32_t kStale = 0x80000000u;

  uint32_t Read(size_t at) const;
  size_t RecordSize(size_t at) const;
  // The record of `name`; npos when there is none.
  size_t Find(const std::wstring& name) const;
  void Append(const std::wstring& name, const std::wstring& value);
  void Compact();

  std::wstring pool_;
  size_t stale_ = 0;  // characters of pool_ in stale records
};
