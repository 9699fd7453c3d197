#pragma once
// A result picture waiting for the writer, kept small: a result picture is a
// frame with coloured outlines and texts drawn on it, so it is kept as one
// grey byte a pixel plus the runs of pixels that are not grey (r = g = b)
// with their colours - about a third of the 24-bit picture for grey
// cameras. A picture that is mostly colour is kept as it is, in 24 bits.
// The picture given back has the very pixels that were kept (RGB888).
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
    // The picture as kept, in RGB888; into out (reusing its memory when it
    // has the size and format already).
    QImage picture() const;
    void pictureInto(QImage& out) const;
    // The memory the kept pixels take.
    size_t bytes() const;

private:
    struct Kept;
    std::shared_ptr<const Kept> kept;
};
