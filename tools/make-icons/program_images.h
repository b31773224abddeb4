#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Every picture file of the program folder: the vehicle icons, the tool-bar and panel pictures and the
// splash picture, with the file each one is written to.
namespace kestrova {

struct ProgramPicture {
    QString path; // relative to the program folder; ".gif" files are written as GIF, the rest as PNG
    std::function<QImage()> draw;
};

std::vector<ProgramPicture> programPictures();

// The folder the panels write their rendered maps into; it must exist before the first render.
inline const QString kPanelBitmapFolder = QStringLiteral("image");

// Draws every picture into the program folder (creating the folders it needs, overwriting what is
// there) and makes the panel bitmap folder. Returns the written paths, relative to the folder.
// Throws RuntimeError naming the file when a folder cannot be made or a file cannot be written.
QStringList writeProgramImages(const QString& programFolder);

} // namespace kestrova
