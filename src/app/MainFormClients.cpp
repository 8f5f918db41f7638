// The POP3 and SNTP clients of the main window.
#include "app/MainForm.h"

namespace {
constexpr int kPop3TimeOutMs = 30000;
}

void TMainForm::CreateClients()
{
    try {
        mailClient_ = pendar::MakePop3MailClient(kPop3TimeOutMs);
    } catch (...) {
        mailClient_.reset(); // mail checks report the missing client
    }
    try {
        sntp_ = std::make_unique<TNMSNTP>(svc_.clock);
    } catch (...) {
        sntp_.reset();
    }
}

void TMainForm::AbortMailCheck()
{
    if (mailClient_)
        mailClient_->Abort();
}
