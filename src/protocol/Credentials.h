#pragma once

#include <optional>
#include <string>

namespace quillon {

// The deployment's shared pass phrase; the central service uses the same.
inline constexpr char kCredentialPassPhrase[] = "Kv8&mQ3z";

// Encrypts the first 8 characters of `text` (space-padded) into 32
// uppercase hexadecimal characters. Empty only if the cipher fails.
std::string encryptCredential(const std::string& text);

// Decrypts 32 hexadecimal characters (digits and uppercase letters only)
// back into the plain block, padding checked. Empty on any failure.
std::optional<std::string> decryptCredential(const std::string& hex32);

struct Ticket {
    int first = 0;      // the single digit after "O"
    int shopNumber = 0; // the six-digit shop number
};

// A shop ID ticket: the encryption of "O", one digit and six digits.
std::optional<Ticket> decryptTicket(const std::string& hex32);

} // namespace quillon
