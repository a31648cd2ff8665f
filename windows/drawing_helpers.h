// Small drawing, font, text and file helpers of the structure-and-training window.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

class QPainter;

// A font by face name; height and width (average character width, 0 for the face's own) in pixels;
// weight on the 100 .. 900 scale.
QFont PixelFont(const QString& face, int height, int weight, int width = 0);
// The pixel height of a font of `tenthsOfPoint` on a device of `dotsPerInch`, rounded: 120 at 96 is 16.
int PointFontPixelHeight(int tenthsOfPoint, double dotsPerInch);
// The text's width and height in the painter's current font.
QSize TextExtent(const QPainter& painter, const QString& text);
// Text with its cell's top-left corner at (x, y); with `background` the cell is filled first.
void DrawTextTopLeft(QPainter& painter, int x, int y, const QString& text,
                     std::optional<QColor> background = std::nullopt);
// The balloon picture stretched behind the text near (x, y), kept inside `client`; below: under the point.
void DrawBalloonLabel(QPainter& painter, const QRect& client, int x, int y, const QString& text, bool below);
// "01:01:01", "1 Day,00:00:01", "2 Days,00:00:01".
std::string FormatElapsedTime(int seconds);
// A file or folder of that name exists.
bool FileExists(const QString& path);
