#pragma once
// A result picture waiting for the writer, kept small: a result picture is a
// frame with coloured outlines and texts drawn on it, so it is kept as its
// grey plane, a byte a pixel, plus the runs of pixels that are not grey
// (r = g = b) with their colours - a third of the 24-bit picture for grey
// cameras. Packed() makes it smaller still, off the GUI thread: the grey
// plane without loss in about four bits a pixel. A picture that is
// mostly colour is kept as it is, in 24 bits. The picture given back has the
// very pixels that were kept (RGB888).
//
// Copies share the kept pixels; they never change after construction.

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

class PendingPicture
{
public:
    PendingPicture() = default;
    // picture: any opaque picture; a null picture gives a null one.
    explicit PendingPicture(const QImage& picture);

    bool isNull() const { return !kept; }
    // Whether the grey plane is packed (or there is none to pack).
    bool packed() const;
    // The same picture with its grey plane packed.
    PendingPicture Packed() const;
    // The picture as kept, in RGB888; into out (reusing its memory when it
    // has the size and format already).
    QImage picture() const;
    void pictureInto(QImage& out) const;
    // The memory the kept pixels take.
    size_t bytes() const;

private:
    struct Kept;
    void greyInto(QImage& out) const;
    void unpackInto(QImage& out) const;
    std::shared_ptr<const Kept> kept;
};
