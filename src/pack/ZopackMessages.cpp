#include "pack/ZopackMessages.h"

#include "port/Cp932.h"

namespace zopack {

std::string PackBrokenText()
{
    return port::Utf8ToCp932("Packﾌｧｲﾙが壊れています。");
}

std::string CrcErrorCaption()
{
    return port::Utf8ToCp932("CRCｴﾗｰ");
}

std::string BadNameText(std::string_view name)
{
    return port::Utf8ToCp932("ファイル名") + std::string(name) + port::Utf8ToCp932("が不正です。");
}

std::string CannotOpenText(std::string_view path)
{
    return port::Utf8ToCp932("ファイル") + std::string(path) + port::Utf8ToCp932("が開けません。");
}

std::string NoTempFileText()
{
    return port::Utf8ToCp932("テンポラリファイルが作れません。");
}

std::string ErrorCaption()
{
    return "SorelPendar";
}

} // namespace zopack
