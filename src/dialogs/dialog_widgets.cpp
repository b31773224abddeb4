#include "dialogs/dialog_widgets.h"

#include "startup/text_helpers.h"
#include "startup/twips.h"

#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace kestrova {

namespace {

// Where a frame's caption starts, in pixels from the frame's left edge.
constexpr int kCaptionIndent = 6;

// Selects its box's text at every focus-in. The selection is made once the event that brought the
// focus is over, since a mouse press would otherwise put the caret back where it was clicked.
class SelectAllFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* box = static_cast<QLineEdit*>(watched);
            SelectAllText(*box);
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus()) {
                    SelectAllText(*box);
                }
            });
        }
        return false;
    }
};

} // namespace

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(toPixels(TwipsRect{float(left), float(top), float(width), float(height)}));
}

QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, parent);
    label->move(toPixels(TwipsPoint{float(left), float(top)}));
    label->adjustSize();
    return label;
}

QWidget* AddCaptionedFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* frame = new QWidget(parent);
    PlaceTwips(frame, left, top, width, height);
    auto* border = new QFrame(frame);
    border->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* label = new QLabel(caption, frame);
    label->setObjectName(QStringLiteral("caption"));
    // The caption hides the line behind it.
    label->setAutoFillBackground(true);
    label->setContentsMargins(2, 0, 2, 0);
    label->adjustSize();
    label->move(kCaptionIndent, 0);
    const int line = label->height() / 2;
    border->setGeometry(0, line, frame->width(), frame->height() - line);
    return frame;
}

void FixDialogSize(QDialog* dialog, int width, int height) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(twipsToPixels(width), twipsToPixels(height));
}

QFont DesignFont(double pointSize, bool bold) {
    QFont font(QStringLiteral("新細明體"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void SelectAllOnFocus(QLineEdit* box) {
    box->installEventFilter(new SelectAllFilter(box));
}

} // namespace kestrova
