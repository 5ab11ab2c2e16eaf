#pragma once

#include <array>
#include <cstdint>
#include <string>

// The SHA-256 digest of `bytes`. Any thread.
std::array<uint8_t, 32> Sha256(const std::string& bytes);
