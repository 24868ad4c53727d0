// A picture written as SVG (through QSvgGenerator) or PNG (through QImage), by the name's extension.
#pragma once

#include <optional>
#include <string>

#include <QSize>
#include <QString>

class CTracePicture;

enum class PictureKind { Svg, Png };

// Svg for a name ending ".svg", Png for ".png" (any case); none for another name.
std::optional<PictureKind> PictureKindOf(const QString& fileName);

// The bytes of the picture drawn at `size` pixels.
std::string RenderPicture(const CTracePicture& picture, QSize size, PictureKind kind);
