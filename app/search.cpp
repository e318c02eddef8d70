#include "app.h"
void SearchCommand() {}
