#include "UI/AppRequests.h"

AppRequests& AppRequests::installed()
{
    static AppRequests requests;
    return requests;
}
