#pragma once
// The stored form of a password, shared by backup archives, Autobackup
// scripts and registry backups.
//
// A password is 1 to 19 UTF-16 units in a 20-unit field with a terminating
// zero unit. On disk every unit before the terminator is exclusive-ored with
// the password key; the terminator stays 0, and a field whose first unit is 0
// means "no password". This hides the text from a casual look at the file;
// it is not encryption, and the data itself is never enciphered.
//
// The password key is 0xE5A7, the same for all three file kinds. It lies in
// the private-use area, so no character a user types equals it (a unit equal
// to the key would scramble to 0 and cut the stored password short).

#include <cstddef>

#include "platform/core/Types.h"

namespace backup {

inline constexpr std::size_t kPasswordUnits = 20;
inline constexpr std::size_t kPasswordBytes = kPasswordUnits * 2;
inline constexpr std::size_t kMaxPasswordLength = kPasswordUnits - 1;

// The key every stored password is scrambled with.
ce::WCHAR PasswordKey();

// Scrambles (or unscrambles: the operation is its own inverse) the units of
// `text` before its first zero unit, in place, looking at no more than
// `units` units.
void ScramblePassword(ce::WCHAR* text, std::size_t units = kPasswordUnits);

}  // namespace backup
