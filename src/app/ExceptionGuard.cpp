#include "app/ExceptionGuard.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace pendar {

std::string ExceptionClassName(const std::exception& e)
{
    const char* mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    size_t colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

void LogException(ILogSink& log, std::string_view className, std::string_view message)
{
    std::string prefix = className == "ESocketError" ? "OtherError " : "Error ";
    log.AddLog(prefix + std::string(message), 255);
}

} // namespace pendar
