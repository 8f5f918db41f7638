// The texts the pack component shows, in code page 932.
#pragma once

#include <string>
#include <string_view>

namespace zopack {

std::string PackBrokenText();                        // the CRC error box
std::string CrcErrorCaption();
std::string BadNameText(std::string_view name);      // name exists or is too long
std::string CannotOpenText(std::string_view path);   // a file cannot be opened
std::string NoTempFileText();                        // no temporary file name is free
std::string ErrorCaption();                          // caption of the error display

} // namespace zopack

// The CRC error box: the pack or one of its entries is damaged.
void ShowPackBroken();
