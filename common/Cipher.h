// The text cipher, and the database password it guards.
#pragma once

#include <cstdint>
#include <string>

// Deciphers `stored` (raw bytes, any value, up to 255 of them) with the
// 16-bit key. The running key advances with each stored byte, so the result
// has the same length and needs no state between calls.
std::string DecipherText(const std::string& stored, std::uint16_t key);

// The five-character password of the practice's protected tables, built at
// run time from its enciphered form.
std::string DatabasePassword();
