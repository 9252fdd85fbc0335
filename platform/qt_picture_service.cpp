#include "platform/qt_picture_service.h"

// Qt
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QtEndian>

// Local
#include "platform/decode_ahead.h"
#include "platform/image_memory.h"
#include "platform/view_pixels.h"
#include "platform/wmf/decoder.h"

namespace vorlane {

namespace {

constexpr int maxSide = QtPictureService::maxSide;
// Metafiles are small; anything larger than this is not one we can render.
constexpr qint64 maxMetafileBytes = 64 * 1024 * 1024;
// What a reader may read before it knows the picture's size: headers,
// colour profiles, metadata.
constexpr qint64 maxHeaderBytes = 16 * 1024 * 1024;
// The most bytes a pixel takes in any file we read (32-bit bitmaps; JPEG and
// GIF data take far less).
constexpr qint64 maxBytesPerPixel = 4;
// The longest run of zero bytes a JPEG or GIF of any size we accept can hold:
// JPEG data of even a uniform 250-megapixel picture takes a few megabytes, and
// GIF data comes in blocks of at most 255 bytes, each led by its non-zero length.
constexpr qint64 maxZeroRun = 16 * 1024 * 1024;
// The most memory one decode may hold at its peak, so that a single picture,
// however its file is made, keeps the viewer under 1.5 GB.
constexpr qint64 maxDecodeBytes = 1'300'000'000;

bool sizeAcceptable(QSize size)
{
    const qint64 w = qAbs(qint64(size.width()));
    const qint64 h = qAbs(qint64(size.height()));
    return w <= QtPictureService::maxSide && h <= QtPictureService::maxSide
        && w * h <= QtPictureService::maxPixels;
}

// A picture file read through limits: its reads fail once the decode is
// cancelled, and end at a byte limit, so that a reader looking for data that
// cannot come (a header followed by gigabytes of nothing) stops.
class LimitedFile : public QIODevice
{
public:
    LimitedFile(const QString &path, const std::atomic<bool> *cancel)
        : m_file(path), m_cancel(cancel)
    {
    }

    // Unbuffered here (the file buffers), so that this device's position
    // is always the file's.
    bool openForReading()
    {
        return m_file.open(QIODevice::ReadOnly)
            && QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    // Reads end at this offset from the start of the file.
    void setLimit(qint64 bytes) { m_limit = bytes; }
    // Reads end once this many zero bytes in a row have been read: for kinds
    // whose data never holds such a run, what follows is no part of a picture.
    void setZeroRunLimit(qint64 bytes) { m_zeroRunLimit = bytes; }
    [[nodiscard]] bool cancelled() const
    {
        return m_cancel && m_cancel->load(std::memory_order_relaxed);
    }

    [[nodiscard]] bool isSequential() const override { return false; }
    [[nodiscard]] qint64 size() const override { return m_file.size(); }
    [[nodiscard]] int handle() const { return m_file.handle(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file.seek(pos); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 left = m_limit - m_file.pos();
        if (cancelled() || left <= 0 || (m_zeroRunLimit > 0 && m_zeroRun >= m_zeroRunLimit))
            return -1;
        const qint64 got = m_file.read(data, std::min(maxSize, left));
        // Only the zeros the read ended with count towards the run.
        qint64 trailing = 0;
        while (trailing < got && data[got - 1 - trailing] == 0)
            ++trailing;
        m_zeroRun = trailing == got ? m_zeroRun + got : trailing;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_file;
    const std::atomic<bool> *m_cancel;
    qint64 m_limit = maxHeaderBytes;
    qint64 m_zeroRunLimit = 0;
    qint64 m_zeroRun = 0;
};

// The pixel sizes of an icon's pictures as stored: each entry's own header
// says it, whatever the directory claims (which holds at most 256).
QList<QSize> iconEntrySizes(QIODevice &device)
{
    const auto side = [](qint64 v) { return int(std::min<qint64>(qAbs(v), maxSide + 1)); };
    const qint64 start = device.pos();
    const QByteArray head = device.peek(6);
    QList<QSize> sizes;
    if (head.size() < 6)
        return sizes;
    const int count = qFromLittleEndian<quint16>(head.constData() + 4);
    const QByteArray directory = device.peek(6 + 16 * qint64(count)).mid(6);
    for (int i = 0; i + 1 <= directory.size() / 16; ++i) {
        const uchar *entry = reinterpret_cast<const uchar *>(directory.constData()) + 16 * i;
        QSize size(entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256);
        const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
        if (device.seek(start + offset)) {
            const QByteArray picture = device.read(24);
            const char *p = picture.constData();
            if (picture.size() == 24 && picture.startsWith("\x89PNG\r\n\x1a\n"))
                size = QSize(side(qFromBigEndian<quint32>(p + 16)),
                             side(qFromBigEndian<quint32>(p + 20)));
            // A bitmap entry's height counts its mask's rows too.
            else if (picture.size() == 24 && qFromLittleEndian<quint32>(p) == 40)
                size = QSize(side(qFromLittleEndian<qint32>(p + 4)),
                             side(qFromLittleEndian<qint32>(p + 8) / 2));
        }
        sizes << size;
    }
    device.seek(start);
    return sizes;
}

// Pixels as decoded, and the picture's natural size in pixels as shown
// (after the EXIF rotation): larger than the pixels when decoded reduced.
struct QtDecoded
{
    QImage image;
    QSize natural;
};

// The bytes a decode holds at its peak: the picture in the format we keep,
// the reader's own copy when it decodes into another format, and a rotated
// copy when the picture is to be turned upright.
qint64 peakBytes(QSize size, QImage::Format decoded, QImageIOHandler::Transformations turn)
{
    const qint64 pixels = qAbs(qint64(size.width())) * qAbs(qint64(size.height()));
    // Readers that cannot tell their format ahead (GIF) decode into 32-bit pixels.
    const bool direct = decoded == QImage::Format_RGB32 || decoded == QImage::Format_ARGB32
        || decoded == QImage::Format_ARGB32_Premultiplied || decoded == QImage::Format_Invalid;
    const qint64 decodedBytes
        = direct ? 0 : std::max(1, QImage::toPixelFormat(decoded).bitsPerPixel() / 8);
    const qint64 turnedBytes = turn.testFlag(QImageIOHandler::TransformationRotate90) ? 4 : 0;
    return pixels * (4 + decodedBytes + turnedBytes);
}

// The most pixels one byte of GIF or Huffman-coded JPEG data can stand for:
// an LZW code takes at least 2 bits and stands for at most 4096 pixels; each
// JPEG block, of at most 32 x 32 pixels when subsampled, takes at least a bit.
constexpr qint64 maxPixelsPerByte = 4 * 4096;

// What a GIF's or JPEG's headers tell beyond its size.
struct Layout
{
    // Where the picture's height is stored, 16 bits each (GIF: the screen's
    // and the first frame's; JPEG: the frame's). Empty: the data's extent
    // is not bounded by the file's length (arithmetic-coded JPEG, others).
    QList<qint64> heightAt;
    bool interlaced = false;
    // The first GIF frame's top row on the screen.
    int top = 0;
    // Bytes per pixel of the coefficients a JPEG in several scans keeps for
    // the whole picture, whatever the scale it is decoded at.
    double coefficientBytes = 0;
};

// How far into a file its layout is looked for: a frame behind more is left
// to the reader alone.
constexpr qint64 maxLayoutBytes = 1024 * 1024;

QByteArray bytesAt(QIODevice &device, qint64 at, qint64 count)
{
    return device.seek(at) ? device.read(count) : QByteArray();
}

Layout layoutOf(QIODevice &device, const QByteArray &format)
{
    // Offsets from the file's start, wherever the reader has left it.
    Layout layout;
    const qint64 resume = device.pos();
    if (format == "gif") {
        const QByteArray screen = bytesAt(device, 0, 13);
        const uchar flags = screen.size() == 13 ? uchar(screen[10]) : 0;
        qint64 at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
        // Extensions (a label, then blocks each led by its length) come
        // before the first frame.
        for (QByteArray b = bytesAt(device, at, 2); b.startsWith('!') && at < maxLayoutBytes;
             b = bytesAt(device, at, 2)) {
            at += 2;
            for (QByteArray n = bytesAt(device, at, 1);
                 at < maxLayoutBytes && n.size() == 1 && n[0]; n = bytesAt(device, at, 1))
                at += 1 + uchar(n[0]);
            at += 1;
        }
        const QByteArray frame = bytesAt(device, at, 10);
        if (screen.size() == 13 && frame.size() == 10 && frame[0] == ',') {
            layout.heightAt = { 8, at + 7 };
            layout.top = qFromLittleEndian<quint16>(frame.constData() + 3);
            layout.interlaced = frame[9] & 0x40;
        }
    } else if (format == "jpeg") {
        int components = 0;
        bool progressive = false;
        for (qint64 at = 2; at < maxLayoutBytes;) {
            const QByteArray m = bytesAt(device, at, 4);
            if (m.size() < 4 || uchar(m[0]) != 0xff)
                break;
            const uchar marker = uchar(m[1]);
            if (marker == 0xff) { // fill
                ++at;
                continue;
            }
            const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4
                && marker != 0xc8 && marker != 0xcc;
            if (frame && components == 0) {
                const QByteArray sof = bytesAt(device, at + 4, 6 + 3 * 255);
                components = sof.size() >= 6 ? uchar(sof[5]) : 0;
                progressive = (marker & 3) == 2;
                if (marker <= 0xc2)
                    layout.heightAt = { at + 5 };
                // 64 coefficients of 2 bytes for each block of 64 pixels.
                int hMax = 1, vMax = 1, blocks = 0;
                for (int c = 0; c < components && 8 + 3 * c < sof.size(); ++c) {
                    const int h = uchar(sof[7 + 3 * c]) >> 4, v = sof[7 + 3 * c] & 15;
                    hMax = std::max(hMax, h), vMax = std::max(vMax, v), blocks += h * v;
                }
                layout.coefficientBytes = 2.0 * blocks / (hMax * vMax);
            } else if (marker == 0xda) {
                // Decoded as it is read only when its first scan holds every
                // component and no later scan refines it.
                const QByteArray scan = bytesAt(device, at + 4, 1);
                if (!progressive && !scan.isEmpty() && uchar(scan[0]) >= components)
                    layout.coefficientBytes = 0;
                break;
            }
            at += 2 + qFromBigEndian<quint16>(m.constData() + 2);
        }
    }
    device.seek(resume);
    return layout;
}

// How a picture is decoded, decided from its headers alone.
struct Plan
{
    QByteArray format;
    // As stored, before turning upright; QSize(): the reader cannot tell.
    QSize claimed;
    QImageIOHandler::Transformations turn;
    // What the reader makes: claimed, or reduced by scale (JPEG).
    QSize decoded;
    int scale = 1;
    // As shown, after turning; invalid: the decoded pixels' own size.
    QSize natural;
    // > 0: the file is too short to hold data for more rows than these, the
    // rest showing only the fill: they alone are decoded, and the picture is
    // held at held's size (turned upright).
    int dataRows = 0;
    QSize held;
    Layout layout;
    // The bytes the decode holds at its peak.
    qint64 peak = 0;
};

// nullopt: the picture is refused (too large, or no picture).
std::optional<Plan> planDecode(QImageReader &reader, QIODevice &file, const DecodeOptions &options)
{
    Plan plan;
    plan.format = reader.format();
    if (plan.format.isEmpty())
        return std::nullopt;
    // A top-down bitmap claims a negative height: the size checks take
    // absolute values.
    if (plan.format == "ico") {
        // The entry with the most pixels, measured as stored, among those an
        // icon really holds: a picture over 4096 x 4096 in an icon is no icon
        // anyone drew, and decoding it would hold the window for seconds.
        const QList<QSize> sizes = iconEntrySizes(file);
        const auto pixels = [](QSize s) { return qAbs(qint64(s.width()) * s.height()); };
        constexpr qint64 maxIconPixels = 4096 * 4096;
        qsizetype best = -1;
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            if (pixels(sizes[i]) <= maxIconPixels
                && (best < 0 || pixels(sizes[i]) > pixels(sizes[best])))
                best = i;
        }
        if (!sizes.isEmpty() && best < 0)
            return std::nullopt;
        if (sizes.size() > 1)
            reader.jumpToImage(int(best));
        if (best >= 0)
            plan.claimed = sizes[best];
    } else {
        plan.claimed = reader.size();
    }
    if (plan.claimed == QSize())
        return plan;
    if (!sizeAcceptable(plan.claimed))
        return std::nullopt;
    plan.turn = reader.transformation();
    plan.layout = layoutOf(file, plan.format);
    const bool turned = plan.turn & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? plan.claimed.transposed() : plan.claimed;
    // A JPEG larger than its view is decoded at a reduced scale: libjpeg
    // then skips most of the work.
    plan.decoded = plan.claimed;
    if (plan.format == "jpeg" && plan.claimed.isValid() && !options.fitBox.isEmpty()) {
        plan.scale = reducedScale(upright, options.fitBox);
        if (plan.scale > 1) {
            plan.natural = upright;
            plan.decoded = QSize((plan.claimed.width() + plan.scale - 1) / plan.scale,
                                 (plan.claimed.height() + plan.scale - 1) / plan.scale);
        }
    }
    const qint64 width = qAbs(plan.claimed.width()), height = qAbs(plan.claimed.height());
    const qint64 pixels = width * height;
    // Rows past those the file can hold data for are all alike: only one of
    // them is decoded (eight passes of interlaced rows; JPEG blocks of up
    // to 32 rows).
    const qint64 fileBytes = file.size();
    if (!plan.layout.heightAt.isEmpty() && fileBytes * maxPixelsPerByte < pixels) {
        const qint64 rows = (fileBytes * maxPixelsPerByte + width - 1) / width;
        const qint64 kept = plan.layout.top
            + (plan.layout.interlaced   ? 8 * rows + 16
                   : plan.format == "gif" ? rows + 1
                                          : rows + 64);
        if (kept < height) {
            plan.dataRows = int(kept);
            plan.natural = upright;
            plan.held = turned ? plan.decoded.transposed() : plan.decoded;
            if (options.shrinkAbove > 0 && qint64(plan.held.width()) * plan.held.height() * 4
                > options.shrinkAbove)
                plan.held = fittedPixels(upright, options.fitBox);
        }
    }
    if (plan.dataRows > 0) {
        const QSize strip(plan.decoded.width(), (plan.dataRows + plan.scale - 1) / plan.scale);
        plan.peak = peakBytes(strip, reader.imageFormat(), {})
            + qint64(plan.layout.coefficientBytes * width * plan.dataRows)
            + qint64(plan.held.width()) * plan.held.height() * 4;
    } else {
        plan.peak = peakBytes(plan.decoded, reader.imageFormat(), plan.turn)
            + qint64(plan.layout.coefficientBytes * pixels);
    }
    if (plan.peak > maxDecodeBytes)
        return std::nullopt;
    return plan;
}

// The picture whose first plan.dataRows rows alone hold data, from those
// rows decoded out of a copy of the file that claims no more.
std::optional<QtDecoded> decodeDataRows(LimitedFile &file, const Plan &plan)
{
    if (!file.seek(0))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    for (const qint64 at : plan.layout.heightAt) {
        if (at + 2 > bytes.size())
            return std::nullopt;
        const quint16 rows = quint16(std::min<qint64>(plan.dataRows, plan.format == "gif"
                ? qFromLittleEndian<quint16>(bytes.constData() + at)
                : qFromBigEndian<quint16>(bytes.constData() + at)));
        plan.format == "gif" ? qToLittleEndian(rows, bytes.data() + at)
                             : qToBigEndian(rows, bytes.data() + at);
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, plan.format);
    reader.setAutoTransform(false);
    if (plan.scale > 1)
        reader.setScaledSize(
                QSize(plan.decoded.width(), (plan.dataRows + plan.scale - 1) / plan.scale));
    QImage strip = reader.read();
    if (strip.isNull() || file.cancelled())
        return std::nullopt;
    convertToSrgb(strip);
    // The held picture, upright: the fill of the rows without data, the
    // decoded rows drawn over its top, turned as the picture is.
    QImage held(plan.held, strip.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                   : QImage::Format_RGB32);
    if (held.isNull())
        return std::nullopt;
    held.fill(strip.pixelColor(0, strip.height() - 1));
    const bool turned = plan.turn & QImageIOHandler::TransformationRotate90;
    const QSizeF stored = turned ? plan.held.transposed() : plan.held;
    QTransform upright(plan.turn & QImageIOHandler::TransformationMirror ? -1 : 1, 0, 0,
                       plan.turn & QImageIOHandler::TransformationFlip ? -1 : 1,
                       plan.turn & QImageIOHandler::TransformationMirror ? stored.width() : 0,
                       plan.turn & QImageIOHandler::TransformationFlip ? stored.height() : 0);
    if (turned)
        upright *= QTransform(0, 1, -1, 0, stored.height(), 0);
    QPainter painter(&held);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(upright);
    painter.drawImage(QRectF(0, 0, stored.width(),
                             stored.height() * plan.dataRows / plan.claimed.height()),
                      strip);
    painter.end();
    return QtDecoded { std::move(held), plan.natural };
}

std::optional<QtDecoded> decodeWithQt(LimitedFile &file, const DecodeOptions &options)
{
    // Qt refuses pictures over 128 MB by default, which a 12000 × 9000 photo
    // exceeds; our own limit on the claimed size guards against absurd ones.
    static const bool limitRaised = [] {
        QImageReader::setAllocationLimit(int(QtPictureService::maxPixels * 4 / (1024 * 1024)) + 64);
        return true;
    }();
    Q_UNUSED(limitRaised);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const std::optional<Plan> plan = planDecode(reader, file, options);
    if (!plan)
        return std::nullopt;
    if (plan->format == "jpeg" || plan->format == "gif")
        file.setZeroRunLimit(maxZeroRun);
    if (plan->dataRows > 0)
        return decodeDataRows(file, *plan);
    QImage image;
    if (plan->claimed != QSize()) {
        if (plan->scale > 1)
            reader.setScaledSize(plan->decoded);
        // No picture of this size needs more bytes than these: what follows
        // cannot be part of it.
        const qint64 pixels
            = qAbs(qint64(plan->claimed.width())) * qAbs(qint64(plan->claimed.height()));
        file.setLimit(maxHeaderBytes + pixels * maxBytesPerPixel);
        // A colour JPEG is decoded into the image given when its size and
        // format are the decode's.
        if (plan->format == "jpeg")
            image = allocateImage(plan->decoded, QImage::Format_RGB32);
    }
    if (!reader.read(&image))
        image = QImage();
    if (image.isNull() || file.cancelled())
        return std::nullopt;
    if (!sizeAcceptable(image.size()))
        return std::nullopt;
    const QSize natural = plan->natural.isValid() ? plan->natural : image.size();
    convertToSrgb(image);
    // Keep the pixels in a format the painter draws fast: opaque pictures as
    // RGB32, pictures with transparency premultiplied.
    const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32;
    if (image.format() != wanted)
        image.convertTo(wanted);
    // A picture too large to keep whole is kept at the size of its view.
    if (options.shrinkAbove > 0 && image.sizeInBytes() > options.shrinkAbove) {
        const QSize fitted = fittedPixels(natural, options.fitBox);
        if (fitted.width() < image.width() || fitted.height() < image.height())
            image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return QtDecoded { std::move(image), natural };
}

} // namespace

std::optional<DecodedPicture> decodePictureFile(const QString &path, double dpiX, double dpiY,
                                                const DecodeOptions &options)
{
    // Only regular files are read: a pipe or device named like a picture
    // would block or never end.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return std::nullopt;

    LimitedFile file(path, options.cancel);
    if (!file.openForReading())
        return std::nullopt;
    const QByteArray head = file.peek(64);
    if (looksLikeWmf(head)) {
        if (file.size() > maxMetafileBytes)
            return std::nullopt;
        file.setLimit(maxMetafileBytes);
        const QByteArray data = file.readAll();
        std::optional<DecodedMetafile> wmf = decodeWmf(data, dpiX, dpiY, options.cancel);
        if (!wmf)
            return std::nullopt;
        return DecodedPicture { std::move(wmf->image), wmf->himetric, {}, {} };
    }

    std::optional<QtDecoded> decoded = decodeWithQt(file, options);
    if (!decoded)
        return std::nullopt;
    // A bitmap's natural size is its pixel size at the screen's resolution
    // (its own density field is ignored, as viewers do).
    const QSizeF himetric(decoded->natural.width() * 2540.0 / dpiX,
                          decoded->natural.height() * 2540.0 / dpiY);
    const bool reduced = decoded->image.size() != decoded->natural;
    // Shrunk exactly as PictureSurface shrinks a whole picture onto a
    // surface of that size, so the view drawn from it is the same.
    QImage view;
    if (options.fittedSurface && !options.workArea.isEmpty()) {
        const QSize surface = options.fittedSurface(himetric, options.workArea, 1440.0 / dpiX,
                                                    1440.0 / dpiY);
        const QSize held = decoded->image.size();
        if (!surface.isEmpty() && surface.width() < held.width()
            && surface.height() < held.height() && !(options.cancel && *options.cancel))
            view = decoded->image.scaled(surface, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
    }
    return DecodedPicture { std::move(decoded->image), himetric,
                            reduced ? holdFile(file.handle()) : HeldFile(), std::move(view) };
}

qint64 decodePeakBytes(const QString &path, const DecodeOptions &options)
{
    LimitedFile file(path, nullptr);
    if (!QFileInfo(path).isFile() || !file.openForReading())
        return 0;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const std::optional<Plan> plan = planDecode(reader, file, options);
    return plan ? plan->peak : 0;
}

DecodeOptions QtPictureService::optionsFor(QSize fitBox, FittedSurface sizer, QSizeF workArea)
{
    DecodeOptions options;
    options.fitBox = fitBox;
    options.shrinkAbove = fitBox.isEmpty() ? 0 : maxAheadBytes;
    if (!fitBox.isEmpty()) {
        options.fittedSurface = sizer;
        options.workArea = workArea;
    }
    return options;
}

std::optional<Picture> QtPictureService::loadPicture(const QString &path, QSize fitBox)
{
    const DecodeOptions options = optionsFor(fitBox, m_fittedSurface, m_screen.workArea());
    std::optional<DecodedPicture> decoded = m_ahead
        ? m_ahead->load(path, dpiX(), dpiY(), options)
        : decodePictureFile(path, dpiX(), dpiY(), options);
    if (!decoded)
        return std::nullopt;
    return Picture(std::move(decoded->image), decoded->himetric,
                   std::move(decoded->fullSource), std::move(decoded->fittedView));
}

void QtPictureService::prefetch(const QString &current, const QStringList &next, QSize fitBox)
{
    if (m_ahead)
        m_ahead->prefetch(current, next, dpiX(), dpiY(),
                          optionsFor(fitBox, m_fittedSurface, m_screen.workArea()));
}

QByteArray encodeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 stride = (width * 3 + 3) & ~qint64(3);
    const qint64 pixelBytes = stride * height;
    const qint64 fileSize = 54 + pixelBytes;
    if (image.isNull() || fileSize > std::numeric_limits<qint32>::max())
        return {};

    QByteArray out(fileSize, '\0');
    uchar *p = reinterpret_cast<uchar *>(out.data());
    // BITMAPFILEHEADER
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileSize), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    // BITMAPINFOHEADER: positive height (bottom-up), 1 plane, 24 bits, BI_RGB
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(qint32(width), p + 18);
    qToLittleEndian<qint32>(qint32(height), p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(quint32(pixelBytes), p + 34);
    qToLittleEndian<qint32>(3780, p + 38); // 96 dpi in pixels per metre
    qToLittleEndian<qint32>(3780, p + 42);

    uchar *rows = p + 54;
    for (qint64 y = 0; y < height; ++y) {
        const uchar *src = image.constScanLine(int(height - 1 - y));
        uchar *dst = rows + y * stride;
        for (qint64 x = 0; x < width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return out;
}

bool QtPictureService::savePicture(const QImage &image, const QString &path)
{
    const QByteArray bytes = encodeBmp24(image);
    if (bytes.isEmpty())
        return false;
    // Written beside the target and renamed over it, so a failure never
    // leaves a half-written file under the user's name.
    QSaveFile file(path);
    // Unbuffered, so that the count written is what reached the file: a
    // write cut short (a full disk, a file size limit) reports no error of
    // its own, and a buffered one would be committed half written.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vorlane
