#include "plot/picture_file.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "plot/trace_picture.h"

std::optional<PictureKind> PictureKindOf(const QString& fileName) {
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return PictureKind::Svg;
    if (fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return PictureKind::Png;
    return std::nullopt;
}

std::string RenderPicture(const CTracePicture& picture, QSize size, PictureKind kind) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (kind == PictureKind::Svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Layout and reads"));
        QPainter painter(&generator);
        picture.Paint(painter, size);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        picture.Paint(painter, size);
        painter.end();
        image.save(&buffer, "PNG");
    }
    const QByteArray& bytes = buffer.data();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
