// The simulated cameras as the camera layer's stand-ins for this run.

#include "camera/sdk/standin.h"
#include "tools/camera-sim/simrig.h"
#include "tools/camera-sim/simsession.h"
#include "tools/camera-sim/simvideonode.h"

namespace standin {

bool Active()
{
    return simcam::Rig::instance().active();
}

std::string InputDeviceList()
{
    return simcam::InputDeviceList();
}

int OpenVideoNode(int node, AVFormatContext** context)
{
    return simcam::OpenVideoNode(node, context);
}

bool CloseVideoNode(AVFormatContext** context)
{
    return simcam::CloseVideoNode(context);
}

bool AddressAnswers(uint32_t address)
{
    return simcam::GigeAddressAnswers(address);
}

}  // namespace standin
