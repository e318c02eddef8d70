#include "app.h"
void PictureBrowseCommand() {}
void TargetBrowseCommand() {}
