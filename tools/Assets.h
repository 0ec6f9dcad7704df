#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

// The pictures that the programs show: drawn here, rendered to PNG files by the build and
// compiled into the programs as resources (":/assets/<name>.png"), each with its twin drawn
// at twice the pixels for high-density screens (":/assets/<name>@2x.png").
namespace kw27::assets {

struct AssetInfo {
    QString name; // file name, e.g. "icon.png"
    QSize size;   // in the layout's pixels
};

const std::vector<AssetInfo>& assetList();

// The scales written for every picture.
inline constexpr int assetScales[] = {1, 2};

// Draws one picture at scale pixels per layout pixel: size × scale pixels, device pixel
// ratio scale. Throws std::invalid_argument for a name that is not in assetList() or a scale
// below 1.
QImage renderAsset(const QString& name, int scale = 1);

// The file name of a picture at a scale: "icon.png" at 2 is "icon@2x.png", the name the
// toolkit looks for beside a picture.
QString scaledName(const QString& name, int scale);

// Writes every picture at every scale as a PNG into folder. Throws std::runtime_error on a
// write failure.
void writeAssets(const QString& folder);

// The program icon at pixels x pixels for the desktop's icon theme: the figure of "icon.png"
// scaled. Throws std::invalid_argument for a size below 16, where the figure is lost.
QImage renderIcon(int pixels);

// Writes the icon as <folder>/<n>x<n>/apps/<name>.png for each size n, the layout of a
// freedesktop icon theme. Throws as renderIcon, and std::runtime_error on a write failure.
void writeIconTheme(const QString& folder, const QString& name, const std::vector<int>& sizes);

// Button pictures mark their background with this colour in the bottom-left pixel; the
// buttons draw that colour as transparent.
inline constexpr QRgb glyphKey = 0xFF808000; // olive

// Edges of button figures are blended over the classic button face, where they end up.
inline constexpr QRgb buttonFace = 0xFFC0C0C0;

} // namespace kw27::assets
