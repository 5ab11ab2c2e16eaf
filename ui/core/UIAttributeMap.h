#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every attribute a control was ever given, name -> raw value, the last value of a name winning.
// Names and values share one buffer, so that a control's attributes cost two allocations, not
// a map node and two strings each; a value that grows is written anew at the end and the buffer
// is compacted once half of it is stale. UI thread only, like its control.
class UIAttributeMap {
 public:
  void Set(const std::wstring& name, const std::wstring& value);
  // Empty when the name was never set.
  std::wstring Get(const std::wstring& name) const;

 private:
  struct Entry {
    uint32_t name = 0;  // offsets into pool_
    uint32_t nameLength = 0;
    uint32_t value = 0;
    uint32_t valueLength = 0;
    uint32_t capacity = 0;  // characters the value may grow to in place
  };

  // The entry of `name`; -1 when there is none.
  int IndexOf(const std::wstring& name) const;
  void Compact();

  std::wstring pool_;
  std::vector<Entry> entries_;
  size_t stale_ = 0;  // characters of pool_ no entry uses
};
