#include "BrowserLinks/BrowserLinkSession.h"

quint64 BrowserLinkSession::open()
{
    ++generation_;
    isOpen_ = true;
    return generation_;
}

void BrowserLinkSession::end()
{
    ++generation_;
    isOpen_ = false;
}
