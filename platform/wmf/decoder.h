#pragma once

// Qt
#include <QByteArray>
#include <QImage>
#include <QSizeF>

// Std
#include <atomic>
#include <optional>

namespace vorlane {

// A rendered Windows metafile and its natural size in HIMETRIC (1/100 mm).
struct DecodedMetafile
{
    QImage image;
    QSizeF himetric;
};

// True when the first bytes are a placeable metafile header (key 0x9AC6CDD7)
// or a standard metafile header (type 1 or 2, header size 9 words).
[[nodiscard]] bool looksLikeWmf(const QByteArray &head);

// Renders a Windows metafile into a QImage (Format_RGB32, white background) at
// its natural size for a screen of dpiX x dpiY dots per inch. A placeable
// metafile measures its header's rectangle at the header's units per inch. A
// metafile without that header measures the extent of what it draws at 96
// units per inch, or, when it scales a window onto the viewport, that window
// at 96 units per inch (at most 1024 units across, keeping its shape).
// nullopt when the data is not a metafile, cannot be played,
// or would make a picture larger than 16384 pixels on a side or 100
// megapixels. Drawing stops after a second and a half: the picture is then
// what was drawn by that time. cancel: when it becomes true (set from any
// thread) the decode gives up and returns nullopt; nullptr: never.
// Safe to call from any thread; never writes to stderr.
[[nodiscard]] std::optional<DecodedMetafile> decodeWmf(
    const QByteArray &data, double dpiX, double dpiY, const std::atomic<bool> *cancel = nullptr);

} // namespace vorlane
