// The POP3 and SNTP clients of the main window.
#include "app/MainForm.h"

void TMainForm::CreateClients()
{
    mail_->CreateClient();
    try {
        sntp_ = svc_.makeSntp ? svc_.makeSntp() : std::make_unique<TNMSNTP>(svc_.clock);
    } catch (...) {
        sntp_.reset();
    }
}
