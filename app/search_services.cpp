// The web image search services, in the order of the form's service list.
#include "app.h"

const char* const SearchServiceNames[3] = {
    "Shutterstock",
    "iStock",
    "Getty Images",
};
