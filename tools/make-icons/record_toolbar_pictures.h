#pragma once

#include <QImage>

// The pictures of the vehicle records dialog's tool bar (image list imlTool), 16 x 16 pixels on a
// transparent background.
namespace kestrova {

inline constexpr int kRecordToolbarPictureCount = 13;
inline constexpr int kRecordToolbarPictureSize = 16;

// Picture number 1 to 13, one per button in the tool bar's order:
//  1 new (sheet with a plus)    2 amend (pencil)       3 delete (red cross)      4 cancel (turning-back arrow)
//  5 write (diskette)           6 find (magnifier)     7 first (bar, arrow)      8 previous (arrow)
//  9 next (arrow)              10 last (arrow, bar)   11 refresh (circling arrows)
// 12 print (printer)           13 leave (door and arrow)
// Any other number gives a null image.
QImage drawRecordToolbarPicture(int number);

} // namespace kestrova
