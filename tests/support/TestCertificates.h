// A test CA and server certificates made with the openssl command in a
// temporary folder: for "localhost" and 127.0.0.1 signed by the CA (good),
// the same names with a validity that ended in 2020 (expired, made with
// `openssl ca -startdate/-enddate`, never by touching the clock), another
// host's name signed by the CA (other), and the good names self-signed
// (self). All share one key. The system's trust store knows none of them.
#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <string>

namespace pendar::test {

class TestCertificates {
public:
    // Makes everything; Made() says whether it worked (`Why()` if not).
    TestCertificates()
    {
        dir_.Write("openssl.cnf", kConfig);
        dir_.Write("index.txt", "");
        dir_.Write("serial", "1000\n");
        const std::string good = "DNS:localhost,IP:127.0.0.1";
        made_ = Run(good, "openssl req -x509 -config openssl.cnf -extensions ca_ext -subj '/CN=Pendar Test CA'" +
                              std::string(kNewKey) + " -keyout ca.key -out ca.pem -days 3650") &&
                Run(good, "openssl req -new -config openssl.cnf -subj /CN=localhost" + std::string(kNewKey) +
                              " -keyout server.key -out server.csr") &&
                Run(good, std::string(kSign) + " -out good.pem") &&
                Run("DNS:other.invalid", std::string(kSign) + " -out other.pem") &&
                Run(good, "openssl ca -config openssl.cnf -batch -notext -startdate 20200101000000Z -enddate "
                          "20200201000000Z -extensions server_ext -cert ca.pem -keyfile ca.key -in server.csr "
                          "-out expired.pem") &&
                Run(good, "openssl req -x509 -config openssl.cnf -extensions server_ext -subj /CN=localhost "
                          "-key server.key -out self.pem -days 3650");
    }

    // One set for the whole test program, made on first use.
    static const TestCertificates& Shared()
    {
        static const TestCertificates certificates;
        return certificates;
    }

    bool Made() const { return made_; }
    const std::string& Why() const { return why_; }

    std::string CaFile() const { return dir_.File("ca.pem"); }
    std::string Key() const { return dir_.File("server.key"); }
    // "good", "expired", "other" or "self".
    std::string Certificate(const std::string& kind) const { return dir_.File(kind + ".pem"); }

private:
    static constexpr const char* kNewKey = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    static constexpr const char* kSign = "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
                                         "-days 3650 -extfile openssl.cnf -extensions server_ext";
    static constexpr const char* kConfig = "[req]\n"
                                           "distinguished_name = dn\n"
                                           "prompt = no\n"
                                           "[dn]\n"
                                           "CN = unused\n"
                                           "[ca_ext]\n"
                                           "basicConstraints = critical, CA:TRUE\n"
                                           "keyUsage = critical, keyCertSign, cRLSign\n"
                                           "subjectKeyIdentifier = hash\n"
                                           "[server_ext]\n"
                                           "basicConstraints = CA:FALSE\n"
                                           "keyUsage = critical, digitalSignature\n"
                                           "extendedKeyUsage = serverAuth\n"
                                           "subjectAltName = $ENV::SAN\n"
                                           "[ca]\n"
                                           "default_ca = test_ca\n"
                                           "[test_ca]\n"
                                           "database = index.txt\n"
                                           "new_certs_dir = .\n"
                                           "serial = serial\n"
                                           "default_md = sha256\n"
                                           "policy = any_name\n"
                                           "unique_subject = no\n"
                                           "[any_name]\n"
                                           "commonName = supplied\n";

    // Runs `command` in the folder; `san` fills the certificate's names.
    bool Run(const std::string& san, const std::string& command)
    {
        std::string line = "cd '" + dir_.Path() + "' && SAN=" + san + " " + command + " >>openssl.log 2>&1";
        if (std::system(line.c_str()) == 0)
            return true;
        why_ = "openssl failed: " + command + "\n" + dir_.Read("openssl.log");
        return false;
    }

    TempDir dir_;
    bool made_ = false;
    std::string why_;
};

} // namespace pendar::test
