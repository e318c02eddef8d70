#include "app.h"
void CreateTargetCommand() {}
