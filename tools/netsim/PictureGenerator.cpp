#include "PictureGenerator.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cmath>

namespace quillon {

namespace {

constexpr int kJpegQuality = 90;

// Common camera frames of three to four megapixels, landscape and portrait.
constexpr std::array<QSize, 4> kFrames{QSize(2048, 1536), QSize(1536, 2048), QSize(2304, 1536),
                                       QSize(2000, 1500)};

QColor hsv(QRandomGenerator& rng, int hueFrom, int hueTo, int satFrom, int valFrom) {
    return QColor::fromHsv(rng.bounded(hueFrom, hueTo), rng.bounded(satFrom, 256),
                           rng.bounded(valFrom, 256));
}

void paintSky(QPainter& p, QRandomGenerator& rng, const QSize& size, int horizon) {
    QLinearGradient sky(0, 0, 0, horizon);
    bool sunset = rng.bounded(3) == 0;
    sky.setColorAt(0, sunset ? hsv(rng, 220, 260, 120, 60) : hsv(rng, 200, 225, 140, 150));
    sky.setColorAt(1, sunset ? hsv(rng, 10, 40, 150, 200) : hsv(rng, 190, 210, 40, 210));
    p.fillRect(0, 0, size.width(), horizon, sky);

    QPointF sun(rng.bounded(size.width()), horizon * (0.2 + rng.bounded(60) / 100.0));
    qreal radius = size.width() * (0.04 + rng.bounded(5) / 100.0);
    QRadialGradient glow(sun, radius * 4);
    glow.setColorAt(0, QColor(255, 250, 225, 255));
    glow.setColorAt(0.25, QColor(255, 235, 180, 160));
    glow.setColorAt(1, QColor(255, 220, 160, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, radius * 4, radius * 4);
}

void paintLand(QPainter& p, QRandomGenerator& rng, const QSize& size, int horizon) {
    // Three ranges of hills, the nearer ones darker and taller.
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills;
        hills.moveTo(0, size.height());
        qreal base = horizon + layer * (size.height() - horizon) / 4.0;
        qreal amplitude = size.height() * (0.03 + 0.03 * layer);
        qreal phase = rng.bounded(628) / 100.0;
        qreal wave = 1.5 + rng.bounded(30) / 10.0;
        for (int x = 0; x <= size.width(); x += 16)
            hills.lineTo(x, base - amplitude *
                                       (1 + std::sin(phase + wave * x / size.width() * 6.2832)));
        hills.lineTo(size.width(), size.height());
        hills.closeSubpath();
        QLinearGradient ground(0, base - amplitude * 2, 0, size.height());
        ground.setColorAt(0, hsv(rng, 70, 130, 80, 120 - layer * 30));
        ground.setColorAt(1, hsv(rng, 30, 70, 90, 40));
        p.setBrush(ground);
        p.drawPath(hills);
    }
}

void paintLights(QPainter& p, QRandomGenerator& rng, const QSize& size) {
    // Soft out-of-focus lights and a few leaves in front.
    for (int i = 0; i < 24; ++i) {
        QPointF centre(rng.bounded(size.width()), rng.bounded(size.height()));
        qreal radius = 20 + rng.bounded(size.width() / 12);
        QColor colour = hsv(rng, 0, 360, 40, 150);
        QRadialGradient soft(centre, radius);
        colour.setAlpha(70);
        soft.setColorAt(0, colour);
        colour.setAlpha(0);
        soft.setColorAt(1, colour);
        p.setBrush(soft);
        p.drawEllipse(centre, radius, radius);
    }
    for (int i = 0; i < 12; ++i) {
        QColor leaf = hsv(rng, 60, 140, 120, 40);
        leaf.setAlpha(200);
        p.setBrush(leaf);
        p.save();
        p.translate(rng.bounded(size.width()), size.height() - rng.bounded(size.height() / 5));
        p.rotate(rng.bounded(360));
        p.drawEllipse(QPointF(0, 0), 30 + rng.bounded(60), 10 + rng.bounded(20));
        p.restore();
    }
}

// Sensor grain: a little noise on every channel, as in a real photo, which
// also keeps the JPEG from shrinking to nothing.
void addGrain(QImage& image, QRandomGenerator& rng) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            quint32 r = rng.generate();
            auto jitter = [&r](int c) {
                int v = c + int(r & 15) - 8;
                r >>= 5;
                return std::clamp(v, 0, 255);
            };
            QRgb px = line[x];
            line[x] = qRgb(jitter(qRed(px)), jitter(qGreen(px)), jitter(qBlue(px)));
        }
    }
}

} // namespace

bool PictureGenerator::generate(const QString& folder, int count, QStringList& made,
                                QString& error) const {
    for (int i = 1; i <= count; ++i) {
        QRandomGenerator rng(m_seed * 7919u + uint32_t(i));
        QSize size = kFrames[size_t(rng.bounded(int(kFrames.size())))];
        QImage image(size, QImage::Format_RGB32);
        int horizon = size.height() * (40 + rng.bounded(25)) / 100;
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paintSky(painter, rng, size, horizon);
            paintLand(painter, rng, size, horizon);
            paintLights(painter, rng, size);
        }
        addGrain(image, rng);
        QString path = QDir(folder).filePath(QString("IMG_%1.jpg").arg(i, 4, 10, QChar('0')));
        QImageWriter writer(path, "jpg");
        writer.setQuality(kJpegQuality);
        if (!writer.write(image)) {
            error = "cannot write " + path + ": " + writer.errorString();
            return false;
        }
        made << path;
    }
    return true;
}

} // namespace quillon
