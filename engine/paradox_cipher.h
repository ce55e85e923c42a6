// The cipher of password-protected Paradox tables: the 32-bit key derived
// from a password, and the block transform that enciphers every data block
// of a protected table file. Facts from ../shared/reference/paradox-format.md
// section 8 (reconstructed by black-box experiment against pxlib).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

// The 32-bit key (the "checksum") that a table protected with `password`
// stores in its header. An empty password gives 0, "not protected".
// Passwords are used as given (case matters); only the first 256 bytes count.
std::uint32_t PasswordKey(const std::string& password);

// Enciphers / deciphers one block of `size` bytes (a multiple of 256) in
// place. `physicalBlock` is the block's 1-based position in the file, not its
// position in the chain. Only the low 16 bits of the key are used.
void EncipherBlock(unsigned char* block, std::size_t size, std::uint32_t key,
                   std::uint32_t physicalBlock);
void DecipherBlock(unsigned char* block, std::size_t size, std::uint32_t key,
                   std::uint32_t physicalBlock);

// The ciphertext position of plaintext byte `offset` (< 256) of a chunk of
// the given physical block: a reader that needs only the 6-byte block header
// deciphers just the first chunk.
std::size_t CipherPosition(std::size_t offset, std::uint32_t physicalBlock);

}  // namespace engine
