#pragma once

#include <QFont>

class QDialog;
class QLabel;
class QLineEdit;
class QWidget;

// What the dialogs share in building their windows: positions and sizes given in twips (15 twips to the
// pixel), the design font, and text boxes that select their whole text when they get the focus.
namespace kestrova {

// Places widget at a rectangle given in twips, relative to its parent.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// A label with caption at a point given in twips, sized to its text.
QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top);

// A frame as the design draws one: an etched border with its caption standing on the top line. The
// inputs of the frame are placed in the returned widget, relative to its top left corner.
QWidget* AddCaptionedFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height);

// The dialog's fixed inner area, given in twips; no minimise or maximise buttons.
void FixDialogSize(QDialog* dialog, int width, int height);

// 新細明體 at the given size in points; where the system lacks it, the Traditional Chinese Noto fonts serve.
QFont DesignFont(double pointSize = 11.25, bool bold = false);

// Selects the whole text of box whenever it gets the focus, so that typing replaces it.
void SelectAllOnFocus(QLineEdit* box);

} // namespace kestrova
