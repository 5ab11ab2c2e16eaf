#include "sys/Sha256.h"

#include <windows.h>

#include <bcrypt.h>

#include "sys/Handles.h"

namespace {

struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};

struct HashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptDestroyHash(h); }
};

}  // namespace

std::array<uint8_t, 32> Sha256(const std::string& bytes) {
  std::array<uint8_t, 32> digest = {};
  ScopedHandleT<AlgorithmTraits> algorithm;
  if (!BCRYPT_SUCCESS(
          BCryptOpenAlgorithmProvider(algorithm.receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
    return digest;
  ScopedHandleT<HashTraits> hash;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), hash.receive(), nullptr, 0, nullptr, 0, 0)))
    return digest;
  std::string copy = bytes;  // BCryptHashData takes a non-const buffer
  if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(copy.data()),
                                     static_cast<ULONG>(copy.size()), 0)) ||
      !BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest.data(), 32, 0)))
    digest.fill(0);
  return digest;
}
