#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

// The pictures that the programs show: drawn here, rendered to PNG files by the build and
// compiled into the programs as resources (":/assets/<name>.png").
namespace kw27::assets {

struct AssetInfo {
    QString name; // file name, e.g. "icon.png"
    QSize size;
};

const std::vector<AssetInfo>& assetList();

// Draws one picture. Throws std::invalid_argument for a name that is not in assetList().
QImage renderAsset(const QString& name);

// Writes every picture as a PNG into folder. Throws std::runtime_error on a write failure.
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

}  // namespace kw27::assets
