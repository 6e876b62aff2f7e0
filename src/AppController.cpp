#include "AppController.h"

AppController& AppController::shared()
{
    static AppController controller;
    return controller;
}
