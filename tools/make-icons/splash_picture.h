#pragma once

#include <QImage>

// The still picture that fills the splash window while the console starts.
namespace kestrova {

inline constexpr int kSplashWidth = 480;
inline constexpr int kSplashHeight = 300;

// A street map with a vehicle on its route and the program's name; the lower right corner is left
// plain for the version label that the splash window puts over it.
QImage drawSplashPicture();

} // namespace kestrova
