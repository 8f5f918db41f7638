// How a mail profile's connection is protected, as the settings store it
// and the settings dialog offers it (暗号化: なし / STARTTLS / SSL/TLS).
#pragma once

namespace pendar {

enum class TMailTls {
    None,     // in the clear
    StartTls, // TLS once the server agreed to STLS
    Implicit, // TLS from the first byte (POP3S)
};

constexpr int kPop3Port = 110;
constexpr int kPop3sPort = 995; // nobody speaks POP3 in the clear here

} // namespace pendar
