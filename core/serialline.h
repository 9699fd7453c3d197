#pragma once
// Byte channels of the IO link: the interface the IO thread reads and writes,
// and the serial device behind it (termios, raw mode, 115200 8N1, no flow
// control, non-blocking: a read takes only the bytes already waiting).

#include <QString>
#include <QtGlobal>

class ByteChannel
{
public:
    virtual ~ByteChannel() = default;
    // Takes at most max bytes that are already waiting; 0 when there are
    // none, on an error, or when the channel is closed.
    virtual int readSome(uchar* data, int max) = 0;
    // Writes len bytes as far as the line accepts them now; never blocks.
    virtual void write(const uchar* data, int len) = 0;
    // True when bytes are waiting to be read; a channel that cannot tell
    // answers false.
    virtual bool hasInput() { return false; }
    // A descriptor that polls readable when bytes are waiting, or -1.
    virtual int pollFd() const { return -1; }
};

class SerialLine : public ByteChannel
{
public:
    SerialLine() = default;
    ~SerialLine() override;
    Q_DISABLE_COPY(SerialLine)

    // Opens the device read-write and sets the line up; false when it is
    // not a terminal device or cannot be opened.
    bool open(const QString& device);
    bool isOpen() const { return fd >= 0; }
    void close();

    int readSome(uchar* data, int max) override;
    void write(const uchar* data, int len) override;
    bool hasInput() override;
    int pollFd() const override { return fd; }

private:
    int fd = -1;
};
