#pragma once

// Checking and tidying a metafile's records before libwmf plays them.
// Private to the metafile decoder.

// Qt
#include <QByteArray>
#include <QRectF>

// Std
#include <optional>

namespace vorlane::wmf {

// A metafile as libwmf will read it: both headers, the records that are
// complete and that libwmf can read, then an EOF record, with header counts
// that hold for those records.
struct PreparedMetafile
{
    QByteArray bytes;
    bool placeable = false;
    // The placeable header's rectangle (logical units) and units per inch.
    QRectF bounds;
    int unitsPerInch = 0;
    // Whether any record sets the window origin / extent.
    bool setsWindowOrg = false;
    bool setsWindowExt = false;
    // The window the first origin and extent records set (logical units),
    // and whether a mapping mode scales that window onto the viewport.
    QRectF firstWindow;
    bool scalesWindow = false;
};

// nullopt when data does not start with usable metafile headers. A record
// running past the end (a truncated file) ends the metafile there. Records
// libwmf would stop at are mended or left out: a record too short for its
// kind is dropped, or zero-padded when it creates an object (so that later
// object numbers stay right); so is a region whose bands do not add up; a
// record naming an object past the table, or a RestoreDC without SaveDC, is
// dropped. Where libwmf mishandles DC state (viewport origins, excluding from
// no clipping region, pattern brushes from old-style bitmaps) the records are
// rewritten into ones it handles.
[[nodiscard]] std::optional<PreparedMetafile> prepareMetafile(const QByteArray &data);

} // namespace vorlane::wmf
