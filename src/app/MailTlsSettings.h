// The TLS choice of each mail profile in Pendar.ini. The original sections
// and keys stay as they are, so that the original program still reads the
// file; the choices live in a section of their own after them, one key per
// account (user and host), so that a choice stays with its profile when the
// profiles are renumbered, here or by a program that rewrites the file:
//
//   [MailTLS]
//   tester@pop.example.org=implicit
//   me%40home@mail.home.lan=starttls,/home/me/home-ca.pem
//
// Key: the user and the host with every byte outside A-Z a-z 0-9 . _ -
// written as %XX, joined by "@". Value: "none", "starttls" or "implicit",
// then optionally "," and the CA file (code page 932, as every text here).
//
// A profile without an entry is in the clear, except on port 995, where
// nobody speaks POP3 in the clear: there it is implicit TLS, and a profile
// the user sets to none on 995 is written as none. Profiles of one account
// share its entry; a TLS choice wins over none, so no password goes in the
// clear to an account that has one. An entry whose value is not understood
// counts as TLS (implicit on 995, STLS elsewhere), never as none.
#pragma once

#include "base/AppSettings.h"

#include <string>

class TIniFile;

namespace pendar {

constexpr const char* kMailTlsSection = "MailTLS";

std::string MailTlsKey(const std::string& user, const std::string& host);
// Sets every profile's tls and caFile from `ini`.
void ReadMailTls(const TIniFile& ini, std::array<TMailProfile, kMailProfileCount>& profiles);
// Writes the section anew after all others; none at all when no profile
// needs an entry.
void WriteMailTls(TIniFile& ini, const std::array<TMailProfile, kMailProfileCount>& profiles);

} // namespace pendar
