#pragma once

#include <QImage>

// The pictures of the main window's tool-bar image list, 32 x 32 pixels on a transparent background.
namespace kestrova {

inline constexpr int kToolbarPictureCount = 13;
inline constexpr int kToolbarPictureSize = 32;

// Picture number 1 to 13 of the image list, the number each tool-bar button names:
//  1 search (magnifier)           2 vehicle records (sheet and car)   3 automatic tracking (circling arrows)
//  4 manual tracking (handset)    5 interrupt (stop sign)             6 track query (route with points)
//  7 real-time display (map, pin) 8 settings (gear)                   9 exit (door and arrow)
// 10 print (printer)             11 start tracking (calling phone)   12 about (information sign)
// 13 show the list (list sheet)
// Any other number gives a null image.
QImage drawToolbarPicture(int number);

} // namespace kestrova
