#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <array>

// The vehicle icons of the map panels: a top view of each vehicle style, turned to its heading.
namespace kestrova {

// The icon folders under carimage/, by vehicle style.
inline const QStringList kCarModels{QStringLiteral("Ferrari"), QStringLiteral("S320"), QStringLiteral("Mini"),
                                    QStringLiteral("C-Rv")};
// The headings that have an icon, degrees clockwise from north.
inline constexpr std::array<int, 8> kCarHeadings{0, 45, 90, 135, 180, 225, 270, 315};

// The panel puts the icon's top-left corner 16 pixels left of and 18 pixels above the vehicle's
// position, so the vehicle is drawn centred on that pixel of a 32 x 36 picture.
inline constexpr int kCarIconWidth = 32;
inline constexpr int kCarIconHeight = 36;
inline constexpr int kCarIconCentreX = 16;
inline constexpr int kCarIconCentreY = 18;

// "carimage/<model>/car<heading as three digits>.gif", relative to the program folder.
QString carIconPath(const QString& model, int heading);

// One style drawn front up, centred on the painter's origin, within a radius of 16 units.
void paintCarTopView(QPainter& p, const QString& model);

// The icon of one style at one heading, on a transparent background, front pointing to the heading.
// An unknown model is drawn as "C-Rv", as the panels do with an unknown style.
QImage drawCarIcon(const QString& model, int heading);

} // namespace kestrova
