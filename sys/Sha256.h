#pragma once

#include <array>
#include <cstdint>
#include <string>

// The SHA-256 digest of `bytes`, from the system's cryptography provider. Any thread. All zero
// when the provider is unavailable, which callers treat as "no digest".
std::array<uint8_t, 32> Sha256(const std::string& bytes);
