#include "Version.h"

#include <cstdio>

int main()
{
    std::printf("Lumetra %s\n", LUMETRA_VERSION_STRING);
    return 0;
}
