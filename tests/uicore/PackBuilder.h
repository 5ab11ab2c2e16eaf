#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sys/GdiplusSession.h"

// Builds skin packs in the embedded layout for tests, and the records' positions so that tests
// can corrupt single fields.
struct PackFile {
  std::wstring name;  // stored as given: tests may store names that are not lower case
  std::string bytes;
};

struct BuiltPack {
  std::string bytes;
  // Byte position of each entry's record (its name-length field) and of its data.
  std::vector<size_t> recordPos;
  std::vector<size_t> dataPos;
};

BuiltPack BuildPack(const std::vector<PackFile>& files);

void PutU32(std::string& bytes, size_t pos, uint32_t value);
uint32_t GetU32(const std::string& bytes, size_t pos);

// A copy of some bytes that ends exactly where an inaccessible page begins, so that any read
// past the end faults instead of passing unnoticed.
class GuardedBytes {
 public:
  explicit GuardedBytes(const std::string& bytes);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* region_ = nullptr;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

// A 3 x 2 RGBA PNG: red, green, blue over transparent white, (16,32,48,128), black.
const std::string& TinyPng();
