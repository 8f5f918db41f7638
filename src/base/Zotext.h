// Byte-string utilities over code page 932 text. Positions are 1-based byte
// positions, lengths are byte counts; every function returns a new string.
#pragma once

#include <string>
#include <string_view>

// Splits `text` at line feeds (0x0A) into lines[0..n-1]; text beyond the
// n-th line is dropped, missing lines are "".
void SeparateString(std::string_view text, std::string* lines, int n);

// The first `n` bytes (n <= 0 gives "").
std::string DivideFront(std::string_view text, int n);
// The bytes from position `from` (1-based; <= 0 counts as 1) to the end.
std::string DivideRear(std::string_view text, int from);

// Up to eight hexadecimal digits as a signed 32-bit value; any other byte
// counts as digit 0.
int HexToInt(std::string_view text);

// Remove single-byte characters 0x00..0x20 from either end; a double-byte
// character (a full-width space included) stops the trim.
std::string ZoTrim(std::string_view text);
std::string ZoTrimLeft(std::string_view text);
std::string ZoTrimRight(std::string_view text);

// File-name style matching: '*' any run, '?' one byte other than '.',
// ASCII letters without regard to case, double-byte characters exactly.
bool WildCardCmp(const char* pattern, const char* text);

// The decimal digits of `value` in full-width characters, at least
// max(digits, 1) of them, "－" before a negative value.
std::string IntToWideStr(int value, int digits);

// Copies from src to dest (which holds len + 1 bytes) up to a NUL, a CR, a
// ',' when stopAtComma, or len bytes, never splitting a double-byte
// character; dest is NUL-terminated. Returns dest.
char* hstrncpy(char* dest, const char* src, int len, bool stopAtComma);
