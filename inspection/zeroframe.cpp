#include "inspection/zeroframe.h"

#include <sys/mman.h>

#include <algorithm>

namespace {

// Pixels in an anonymous private mapping of their own, unmapped when the
// last cv::Mat over them goes.
class ZeroPageAllocator : public cv::MatAllocator
{
public:
    cv::UMatData* allocate(int dims, const int* sizes, int type, void* data0, size_t* step, cv::AccessFlag,
                           cv::UMatUsageFlags) const override
    {
        size_t total = CV_ELEM_SIZE(type);
        for (int i = dims - 1; i >= 0; --i) {
            if (step) {
                if (data0 && step[i] != cv::Mat::AUTO_STEP)
                    total = step[i];
                else
                    step[i] = total;
            }
            total *= size_t(sizes[i]);
        }
        void* data = data0;
        if (!data) {
            data = mmap(nullptr, std::max<size_t>(total, 1), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                        0);
            if (data == MAP_FAILED)
                CV_Error(cv::Error::StsNoMem, "no memory for a zero frame");
        }
        auto* u = new cv::UMatData(this);
        u->data = u->origdata = static_cast<uchar*>(data);
        u->size = total;
        if (data0)
            u->flags |= cv::UMatData::USER_ALLOCATED;
        return u;
    }

    bool allocate(cv::UMatData* u, cv::AccessFlag, cv::UMatUsageFlags) const override { return u != nullptr; }

    void deallocate(cv::UMatData* u) const override
    {
        if (!u)
            return;
        if (!(u->flags & cv::UMatData::USER_ALLOCATED))
            munmap(u->origdata, std::max<size_t>(u->size, 1));
        delete u;
    }
};

const cv::MatAllocator* zeroPages()
{
    static const auto* allocator = new ZeroPageAllocator;   // outlives every frame
    return allocator;
}

}  // namespace

cv::Mat ZeroFrame(const cv::Size& size, int type)
{
    cv::Mat frame;
    frame.allocator = const_cast<cv::MatAllocator*>(zeroPages());
    frame.create(size, type);
    return frame;
}
