#include "tests/uicore/PackBuilder.h"

#include <gdiplus.h>

#include <cstring>

void PutU32(std::string& bytes, size_t pos, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[pos + i] = char((value >> (8 * i)) & 0xFF);
}

uint32_t GetU32(const std::string& bytes, size_t pos) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | uint8_t(bytes[pos + i]);
  return v;
}

BuiltPack BuildPack(const std::vector<PackFile>& files) {
  BuiltPack pack;
  size_t directory = 4;
  for (const PackFile& f : files)
    directory += 4 + 2 * f.name.size() + 8;
  pack.bytes.assign(directory, '\0');
  PutU32(pack.bytes, 0, uint32_t(files.size()));
  size_t pos = 4;
  size_t offset = directory;
  for (const PackFile& f : files) {
    pack.recordPos.push_back(pos);
    PutU32(pack.bytes, pos, uint32_t(2 * f.name.size()));
    pos += 4;
    for (wchar_t c : f.name) {
      pack.bytes[pos++] = char(c & 0xFF);
      pack.bytes[pos++] = char((c >> 8) & 0xFF);
    }
    PutU32(pack.bytes, pos, uint32_t(offset));
    PutU32(pack.bytes, pos + 4, uint32_t(f.bytes.size()));
    pos += 8;
    pack.dataPos.push_back(offset);
    pack.bytes += f.bytes;
    offset += f.bytes.size();
  }
  return pack;
}

GuardedBytes::GuardedBytes(const std::string& bytes) : size_(bytes.size()) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const size_t page = info.dwPageSize;
  const size_t dataPages = (bytes.size() + page - 1) / page;
  const size_t total = (dataPages + 1) * page;
  region_ = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!region_)
    return;
  uint8_t* guard = static_cast<uint8_t*>(region_) + dataPages * page;
  DWORD old = 0;
  VirtualProtect(guard, page, PAGE_NOACCESS, &old);
  uint8_t* start = guard - bytes.size();
  if (!bytes.empty())
    memcpy(start, bytes.data(), bytes.size());
  data_ = start;
}

GuardedBytes::~GuardedBytes() {
  if (region_)
    VirtualFree(region_, 0, MEM_RELEASE);
}

const std::string& TinyPng() {
  static const unsigned char kPng[] = {
      0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
      0x44, 0x52, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00,
      0x00, 0x9d, 0x74, 0x66, 0x1a, 0x00, 0x00, 0x00, 0x1a, 0x49, 0x44, 0x41, 0x54, 0x78,
      0xda, 0x63, 0xf8, 0xcf, 0xc0, 0xf0, 0x1f, 0x0c, 0x19, 0xfe, 0x03, 0x49, 0x20, 0x16,
      0x50, 0x30, 0x68, 0x60, 0x00, 0xf2, 0x00, 0x98, 0x86, 0x0a, 0xd7, 0x0b, 0x25, 0xba,
      0xfc, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
  static const std::string png(reinterpret_cast<const char*>(kPng), sizeof(kPng));
  return png;
}
