/* Ends with the process's ANSI code page as its exit code. It carries the
   window programs' manifest, so it shows which code page they get. */
#include <windows.h>

int main(void)
{
    return (int)GetACP();
}
