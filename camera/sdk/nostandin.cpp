// A device build: nothing stands in for the cameras.

#include "camera/sdk/standin.h"

namespace standin {

bool Active()
{
    return false;
}

std::string InputDeviceList()
{
    return std::string();
}

int OpenVideoNode(int, AVFormatContext** context)
{
    *context = nullptr;
    return -1;
}

bool CloseVideoNode(AVFormatContext**)
{
    return false;
}

bool AddressAnswers(uint32_t)
{
    return false;
}

}  // namespace standin
