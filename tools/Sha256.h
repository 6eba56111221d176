#pragma once
// SHA-256 of a block of bytes, as lowercase hexadecimal (64 characters).

#include <cstddef>
#include <cstdint>
#include <string>

std::string Sha256Hex(const uint8_t* data, size_t size);
