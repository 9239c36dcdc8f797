// Draws the application's images into a resources folder: "kvn-app.png" (the maker's logo) and
// "Export_FinalCut.png" (the editor's icon). Drawn from shapes only, so no fonts are needed.
//
//   velotrack-artwork <resources folder>

#include <QConicalGradient>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int side = 256;

QImage emptyCanvas() {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A rounded tile in teal to indigo with a white "V" whose right arm ends in level meters: a
// track that turns into sound.
QImage makerLogo() {
    auto image = emptyCanvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, side, side);
    background.setColorAt(0.0, QColor(0x12, 0xc2, 0xb0));
    background.setColorAt(1.0, QColor(0x3b, 0x2f, 0xa8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(8, 8, side - 16, side - 16), 56, 56);

    QPen stroke(Qt::white, 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(stroke);
    QPainterPath vee;
    vee.moveTo(64, 70);
    vee.lineTo(118, 190);
    vee.lineTo(150, 118);
    painter.drawPath(vee);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 230));
    const int heights[] = {44, 78, 112};
    for (int index = 0; index < 3; ++index) {
        const int height = heights[index];
        painter.drawRoundedRect(QRectF(160 + index * 22, 190 - height, 14, height), 7, 7);
    }
    return image;
}

// A dark disc with a spectrum ring and a diagonal clapper stripe.
QImage editorIcon() {
    auto image = emptyCanvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x16, 0x16, 0x1a));
    painter.drawEllipse(QRectF(12, 12, side - 24, side - 24));

    QConicalGradient ring(side / 2.0, side / 2.0, 90);
    const QColor colours[] = {QColor(0xff, 0x3b, 0x30), QColor(0xff, 0x9f, 0x0a),
                              QColor(0xff, 0xd6, 0x0a), QColor(0x30, 0xd1, 0x58),
                              QColor(0x0a, 0x84, 0xff), QColor(0xbf, 0x5a, 0xf2)};
    for (int index = 0; index < 6; ++index) {
        ring.setColorAt(index / 6.0, colours[index]);
    }
    ring.setColorAt(1.0, colours[0]);
    painter.setPen(QPen(QBrush(ring), 18));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(40, 40, side - 80, side - 80));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf2, 0xf2, 0xf7));
    painter.translate(side / 2.0, side / 2.0);
    painter.rotate(-30);
    painter.drawRoundedRect(QRectF(-62, -14, 124, 28), 6, 6);
    painter.setBrush(QColor(0x16, 0x16, 0x1a));
    for (int index = 0; index < 4; ++index) {
        painter.drawRect(QRectF(-50 + index * 28, -14, 12, 28));
    }
    return image;
}

bool save(const QImage& image, const QDir& folder, const char* name) {
    const auto file = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!image.save(file, "PNG")) {
        std::fprintf(stderr, "velotrack-artwork: cannot write %s\n",
                     file.toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velotrack-artwork <resources folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "velotrack-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool saved =
        save(makerLogo(), folder, "kvn-app") && save(editorIcon(), folder, "Export_FinalCut");
    return saved ? 0 : 1;
}
