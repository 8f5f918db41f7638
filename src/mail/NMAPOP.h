// POP3 client with the APOP log-in (MD5 of the greeting's timestamp and the
// password) when APOP is set; otherwise the USER/PASS log-in.
#pragma once

#include "mail/NMPOP3.h"

class TNMAPOP : public TNMPOP3 {
public:
    bool APOP = false;

    void Connect() override;
};
