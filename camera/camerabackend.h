#pragma once
// One camera family's handling of an opened position: device set-up, the
// acquisition pass, image settings. CameraUnit makes one per open, by family;
// every operation runs on the GUI thread except pass(), which runs on the
// position's acquisition thread.

#include <QtGlobal>

#include <memory>
#include <optional>
#include <string>

class CameraUnit;
class WizardPara;
struct FrameView;

class CameraBackend
{
public:
    explicit CameraBackend(CameraUnit& owner) : unit(owner) {}
    virtual ~CameraBackend() = default;
    Q_DISABLE_COPY(CameraBackend)

    // Opens and configures the device of the unit's position; false leaves
    // nothing open.
    virtual bool open(const char* serial) = 0;
    virtual void close() {}
    virtual void start() {}
    virtual void stop() {}
    // One acquisition pass; true when the thread is to pause before the next.
    virtual bool pass() { return true; }

    virtual void changeTrig(bool /*restart*/, bool /*external*/) {}
    virtual void setExposure(int /*v*/, bool /*autoExposure*/, bool /*autoShading*/) {}
    virtual void setGain(int /*v*/) {}
    virtual void setWB() {}
    virtual void setSharp(int /*v*/) {}
    virtual void setContrast(int /*v*/) {}
    virtual void setGamma(int /*v*/) {}
    virtual void setSpeed(int /*captureSpeed*/) {}
    // Puts the device back to its defaults and reads the settings back into
    // bak (the family's own part of RestoreDefaultSettings).
    virtual void restoreDefaults(WizardPara& /*bak*/) {}
    // The serial number the camera reports; nothing for families without one.
    virtual std::optional<std::string> serialNumber() { return std::nullopt; }

protected:
    int position() const;
    bool handOver(const FrameView& frame);
    // A frame the camera delivered but that cannot be used (of another size
    // than the program's): no picture is handed over, the refusal is kept.
    void refuseFrame(int width, int height);
    CameraUnit& unit;
};

std::unique_ptr<CameraBackend> MakeCameraBackend(int family, CameraUnit& unit);
