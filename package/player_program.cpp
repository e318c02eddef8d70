#include "player_program.h"

#include <cstdint>
#include <cstring>

#include "pe_image_end.h"

const char PlayerProgramNotValid[] = "Error - the player program is not valid.";

std::string PlayerProgramFault(const unsigned char* data, size_t length)
{
    if (length == 0)
        return "the file is empty";
    uint32_t imageLength = 0;
    if (const char* failure = FindStubLength(data, length, &imageLength)) {
        if (!std::strcmp(failure, "not an executable") || !std::strcmp(failure, "no PE signature"))
            return "it is not a Windows program";
        return std::string("its program headers are damaged (") + failure + ")";
    }
    if (imageLength != length) {
        return std::to_string(length - imageLength) +
               " bytes follow the end of the program (is it a finished puzzle?)";
    }
    return std::string();
}
