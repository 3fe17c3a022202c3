// PBKDF2 (RFC 2898) with HMAC-SHA1: turns the password and salt of an AES encrypted entry
// into its keys and password verifier.
#pragma once

#include <cstdint>

// Fills Output with OutputLength derived bytes. An iteration count of 0 counts as 1.
void Pbkdf2Sha1(const uint8_t* password, uint32_t passwordLength, const uint8_t* salt,
                uint32_t saltLength, uint32_t iterations, uint8_t* output, uint32_t outputLength);
