#include "console/map_panel_widget.h"

#include "console/map_panels.h"
#include "startup/runtime_error.h"
#include "startup/twips.h"

#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace kestrova {

namespace {

QColor fromBgr(int32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// LoadPicture: the file's picture, or a run-time error with the reader's reason.
QPixmap loadPicture(const QString& file) {
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw RuntimeError(FileErrorText(file, reader.errorString()));
    }
    return QPixmap::fromImage(image);
}

QString indexed(const QString& name, int index) {
    return name + u'_' + QString::number(index);
}

bool isLeftClick(const QEvent* event) {
    return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

} // namespace

MapPanelLamp::MapPanelLamp(QWidget* parent) : QWidget(parent) {}

void MapPanelLamp::setFillColour(int32_t colour) {
    if (colour != m_fillColour) {
        m_fillColour = colour;
        update();
    }
}

void MapPanelLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fromBgr(m_fillColour));
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

MapPanelWidget::MapPanelWidget(int16_t index, const QString& programFolder, QWidget* parent)
    : QFrame(parent), m_index(index) {
    setObjectName(indexed(QStringLiteral("fraMap"), index));
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    const QDir folder(programFolder);

    // Created bottom to top: the map picture under everything that lies on it.
    m_imgMap = makeClickable(QStringLiteral("imgMap"));
    m_imgMap->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    if (index < kLandmarkPanelCount) {
        for (int kind = 1; kind <= 3; ++kind) {
            m_imageList3[static_cast<std::size_t>(kind - 1)] =
                QPixmap(folder.filePath(QStringLiteral("icons/ImageList3/%1.png").arg(kind)));
        }
        const QString arrayName = QStringLiteral("Houseimg") + QString::number(index);
        for (int j = 0; j < kLandmarkSlotCount; ++j) {
            auto* slot = new QLabel(this);
            slot->setObjectName(indexed(arrayName, j));
            slot->setScaledContents(true);
            slot->hide();
            m_houseimg.push_back(slot);
        }
    }

    m_imgVehicle = makeLabel(QStringLiteral("imgVehicle"));
    m_imgVehicle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblSpeed = makeLabel(QStringLiteral("lblSpeed"));
    for (int k = 0; k < kLampCount; ++k) {
        auto* lamp = new MapPanelLamp(this);
        lamp->setObjectName(QStringLiteral("shpLED_%1").arg(kLampCount * index + k));
        m_shpLED[static_cast<std::size_t>(k)] = lamp;
    }

    m_imgZoomIn = makeClickable(QStringLiteral("imgZoomIn"));
    m_imgZoomIn->setPixmap(QPixmap(folder.filePath(QStringLiteral("icons/imgZoomIn.png"))));
    m_imgZoomIn->setScaledContents(true);
    m_imgZoomOut = makeClickable(QStringLiteral("imgZoomOut"));
    m_imgZoomOut->setPixmap(QPixmap(folder.filePath(QStringLiteral("icons/imgZoomOut.png"))));
    m_imgZoomOut->setScaledContents(true);

    // The zoom level is kept as this label's caption; it is not shown.
    m_lblZoom = makeLabel(QStringLiteral("lblZoom"));
    m_lblZoom->setText(QString::number(12));
    m_lblZoom->hide();

    m_lblCaption = makeLabel(QStringLiteral("lblCaption"));
    m_lblCaption->hide();

    m_cmbVehicle = new QComboBox(this);
    m_cmbVehicle->setObjectName(indexed(QStringLiteral("cmbVehicle"), index));
    m_cmbVehicle->setEditable(false);
    m_cmbVehicle->resize(m_cmbVehicle->width(), m_cmbVehicle->sizeHint().height());
    if (index == kTrackPanel) {
        m_cmbVehicle->hide();
    }
    connect(m_cmbVehicle, &QComboBox::currentIndexChanged, this, [this] { emit cmbVehicleClick(m_index); });
}

QLabel* MapPanelWidget::makeLabel(const QString& name) {
    auto* label = new QLabel(this);
    label->setObjectName(indexed(name, m_index));
    return label;
}

QLabel* MapPanelWidget::makeClickable(const QString& name) {
    QLabel* label = makeLabel(name);
    label->installEventFilter(this);
    return label;
}

void MapPanelWidget::applyLayout(const MapPanelLayout& layout) {
    setGeometry(toPixels(layout.fraMap));
    m_lblCaption->move(toPixels(layout.lblCaption));
    m_imgZoomIn->setGeometry(toPixels(layout.imgZoomIn));
    m_imgZoomOut->setGeometry(toPixels(layout.imgZoomOut));
    if (layout.cmbVehicle && m_cmbVehicle && m_cmbVehicle->parent() == this) {
        m_cmbVehicle->setGeometry(toPixels(*layout.cmbVehicle, m_cmbVehicle->height()));
    }
    m_imgMap->setGeometry(toPixels(layout.imgMap));
    for (int k = 0; k < kLampCount; ++k) {
        m_shpLED[static_cast<std::size_t>(k)]->setGeometry(toPixels(layout.shpLED[static_cast<std::size_t>(k)]));
    }
    m_vehicleRect = toPixels(layout.imgVehicle);
    const QPixmap icon = m_imgVehicle->pixmap();
    m_imgVehicle->setGeometry(icon.isNull() ? m_vehicleRect : QRect(m_vehicleRect.topLeft(), icon.size()));
    setVisible(layout.Visible);
}

void MapPanelWidget::setChooserListIndex(int listIndex) {
    if (!m_cmbVehicle) {
        return;
    }
    {
        const QSignalBlocker quiet(m_cmbVehicle);
        m_cmbVehicle->setCurrentIndex(listIndex);
    }
    emit cmbVehicleClick(m_index);
}

bool MapPanelWidget::isPanelVisible() const {
    return parentWidget() != nullptr ? isVisibleTo(parentWidget()) : !isHidden();
}

float MapPanelWidget::panelWidth() const {
    return pixelsToTwips(width());
}

float MapPanelWidget::panelHeight() const {
    return pixelsToTwips(height());
}

int MapPanelWidget::chooserListIndex() const {
    return m_cmbVehicle ? m_cmbVehicle->currentIndex() : -1;
}

bool MapPanelWidget::isChooserEnabled() const {
    return m_cmbVehicle && m_cmbVehicle->isEnabled();
}

void MapPanelWidget::focusChooser() {
    if (m_cmbVehicle) {
        m_cmbVehicle->setFocus();
    }
}

void MapPanelWidget::setCaptionText(const QString& text) {
    m_lblCaption->setText(text);
    m_lblCaption->adjustSize();
}

void MapPanelWidget::setCaptionBold(bool bold) {
    QFont font = m_lblCaption->font();
    font.setBold(bold);
    m_lblCaption->setFont(font);
    m_lblCaption->adjustSize();
}

void MapPanelWidget::setCaptionVisible(bool visible) {
    m_lblCaption->setVisible(visible);
}

void MapPanelWidget::setCaptionColour(int32_t colour) {
    QPalette palette = m_lblCaption->palette();
    palette.setColor(QPalette::WindowText, fromBgr(colour));
    m_lblCaption->setPalette(palette);
}

QString MapPanelWidget::zoomCaption() const {
    return m_lblZoom->text();
}

void MapPanelWidget::setZoomCaption(const QString& caption) {
    m_lblZoom->setText(caption);
}

void MapPanelWidget::setZoomButtonsVisible(bool visible) {
    m_imgZoomIn->setVisible(visible);
    m_imgZoomOut->setVisible(visible);
}

void MapPanelWidget::setMapVisible(bool visible) {
    m_imgMap->setVisible(visible);
}

void MapPanelWidget::setMapPicture(const QString& file) {
    m_imgMap->setPixmap(loadPicture(file));
}

void MapPanelWidget::clearMapPicture() {
    m_imgMap->clear();
}

void MapPanelWidget::setVehiclePicture(const QString& file) {
    const QPixmap icon = loadPicture(file);
    m_imgVehicle->setPixmap(icon);
    m_imgVehicle->resize(icon.size());
}

QPixmap MapPanelWidget::vehiclePicture() const {
    return m_imgVehicle->pixmap();
}

void MapPanelWidget::clearVehiclePicture() {
    m_imgVehicle->clear();
}

void MapPanelWidget::setVehicleToolTip(const QString& text) {
    m_imgVehicle->setToolTip(text);
}

void MapPanelWidget::setSpeedVisible(bool visible) {
    m_lblSpeed->setVisible(visible);
}

void MapPanelWidget::setSpeedCaption(const QString& caption) {
    m_lblSpeed->setText(caption);
    m_lblSpeed->adjustSize();
}

float MapPanelWidget::speedWidth() const {
    return pixelsToTwips(m_lblSpeed->width());
}

float MapPanelWidget::speedHeight() const {
    return pixelsToTwips(m_lblSpeed->height());
}

void MapPanelWidget::moveSpeed(float left, float top) {
    m_lblSpeed->move(toPixels(TwipsPoint{left, top}));
}

void MapPanelWidget::setLampColour(int k, int32_t colour) {
    if (k >= 0 && k < kLampCount) {
        m_shpLED[static_cast<std::size_t>(k)]->setFillColour(colour);
    }
}

QLabel* MapPanelWidget::landmark(int j) const {
    if (j < 0 || static_cast<std::size_t>(j) >= m_houseimg.size()) {
        return nullptr;
    }
    return m_houseimg[static_cast<std::size_t>(j)];
}

void MapPanelWidget::moveLandmark(int j, const TwipsRect& rect) {
    if (QLabel* slot = landmark(j)) {
        slot->setGeometry(toPixels(rect));
    }
}

void MapPanelWidget::setLandmarkVisible(int j, bool visible) {
    if (QLabel* slot = landmark(j)) {
        slot->setVisible(visible);
    }
}

void MapPanelWidget::setLandmarkToolTip(int j, const QString& text) {
    if (QLabel* slot = landmark(j)) {
        slot->setToolTip(text);
    }
}

void MapPanelWidget::setLandmarkPicture(int j, int picture) {
    QLabel* slot = landmark(j);
    if (slot != nullptr && picture >= 1 && picture <= 3) {
        slot->setPixmap(m_imageList3[static_cast<std::size_t>(picture - 1)]);
    }
}

bool MapPanelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && isLeftClick(event)) {
        return true; // taken here, so that its release comes back to this image
    }
    if (event->type() == QEvent::MouseButtonRelease && isLeftClick(event)) {
        auto* image = static_cast<QWidget*>(watched);
        if (image->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            emitClick(watched);
        }
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void MapPanelWidget::emitClick(QObject* watched) {
    if (watched == m_imgMap) {
        emit imgMapClick(m_index);
    } else if (watched == m_imgZoomIn) {
        emit imgZoomInClick(m_index);
    } else if (watched == m_imgZoomOut) {
        emit imgZoomOutClick(m_index);
    }
}

void MapPanelWidget::mousePressEvent(QMouseEvent* event) {
    // Only a press on the frame itself counts; one passed up from an inner control is not the frame's.
    m_framePressed = event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr;
    if (m_framePressed) {
        event->accept();
    } else {
        QFrame::mousePressEvent(event);
    }
}

void MapPanelWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_framePressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_framePressed = false;
    if (click) {
        emit fraMapClick(m_index);
    } else {
        QFrame::mouseReleaseEvent(event);
    }
}

void ConnectMapPanels(const std::array<MapPanelWidget*, kMapPanelCount>& fraMap, MapPanels& panels) {
    for (MapPanelWidget* panel : fraMap) {
        QObject::connect(panel, &MapPanelWidget::cmbVehicleClick, panel,
                         [&panels](int16_t Index) { panels.cmbVehicle_Click(Index); });
        QObject::connect(panel, &MapPanelWidget::fraMapClick, panel,
                         [&panels](int16_t Index) { panels.fraMap_Click(Index); });
        QObject::connect(panel, &MapPanelWidget::imgMapClick, panel,
                         [&panels](int16_t Index) { panels.imgMap_Click(Index); });
        QObject::connect(panel, &MapPanelWidget::imgZoomInClick, panel,
                         [&panels](int16_t Index) { panels.imgZoomIn_Click(Index); });
        QObject::connect(panel, &MapPanelWidget::imgZoomOutClick, panel,
                         [&panels](int16_t Index) { panels.imgZoomOut_Click(Index); });
    }
}

} // namespace kestrova
