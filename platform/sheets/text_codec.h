// Conversions of the texts found in workbooks to UTF-8: UTF-16LE and compressed 8-bit strings of
// BIFF8, and the code-page bytes of BIFF5 (through iconv).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sheets {

void AppendUtf8(std::string& out, uint32_t codepoint);
// UTF-16LE to UTF-8; an unpaired surrogate becomes U+FFFD.
void AppendUtf16Le(std::string& out, std::span<const uint8_t> bytes);
// BIFF8 "compressed" characters: each byte is the low byte of a UTF-16 unit (that is, Latin-1).
void AppendLatin1(std::string& out, std::span<const uint8_t> bytes);

// Bytes in a Windows code page (a CODEPAGE record's value: 936, 1252, ...) to UTF-8. Bytes that do
// not convert become U+FFFD; a code page iconv does not know is read as Windows-1252.
std::string CodePageToUtf8(std::string_view bytes, uint16_t codepage);

}  // namespace sheets
