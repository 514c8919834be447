// The illustrations and the program icon as the Qt program embeds and draws
// them, and the icon file of the Windows build: each at its stated size and in
// its stated file format.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <set>
#include <tuple>

#include "qt/ProgramIcon.h"
#include "screens/Layout.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

quint16 le16(const QByteArray& bytes, int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 le32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }
quint32 be32(const QByteArray& bytes, int at) { return qFromBigEndian<quint32>(bytes.constData() + at); }

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

}  // namespace

// Every illustration the help windows name is embedded in the program under
// that name, and Qt reads it at the size the data gives, in the format its
// bytes say.
TEST(ArtworkTest, IllustrationsLoadAtTheirSizesAndFormats) {
    int pictures = 0;
    for (int w = 0; w < layout::kHelpWindows; ++w)
        for (const layout::ControlLayout& c : layout::Help(static_cast<layout::HelpWindow>(w)).controls) {
            if (c.picture.empty()) continue;
            ++pictures;
            const QString name = QString::fromUtf8(c.picture.data(), static_cast<qsizetype>(c.picture.size()));
            SCOPED_TRACE(name.toStdString());
            QImageReader reader(QStringLiteral(":/help/") + name);
            reader.setDecideFormatFromContent(true);  // the bytes decide, not the name
            EXPECT_EQ(reader.format(), name.endsWith(QLatin1String(".bmp")) ? QByteArray("bmp") : QByteArray("jpeg"));
            const QSize size(c.pictureWidth, c.pictureHeight);
            EXPECT_EQ(reader.size(), size);
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
            EXPECT_EQ(image.size(), size);
            EXPECT_FALSE(image.hasAlphaChannel());
        }
    EXPECT_EQ(pictures, 5);
}

TEST(ArtworkTest, HomingPictureIsAnUncompressed24BitBitmap) {
    const QByteArray bmp = readAll(QStringLiteral(":/help/fourth-axis-homing.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bmp, 2), static_cast<quint32>(bmp.size()));  // file size field
    EXPECT_EQ(le32(bmp, 14), 40u);                               // BITMAPINFOHEADER
    EXPECT_EQ(static_cast<qint32>(le32(bmp, 18)), 600);          // width
    EXPECT_EQ(static_cast<qint32>(le32(bmp, 22)), 400);          // height, bottom-up
    EXPECT_EQ(le16(bmp, 26), 1);                                 // planes
    EXPECT_EQ(le16(bmp, 28), 24);                                // bits per pixel
    EXPECT_EQ(le32(bmp, 30), 0u);                                // BI_RGB: no compression
    EXPECT_EQ(static_cast<qint64>(le32(bmp, 10)) + 600 * 3 * 400, bmp.size());  // rows of 1800 bytes, no padding
}

// The .ico for the Windows executable: nine images, listed by size and colour depth.
TEST(ArtworkTest, IconFileHoldsTheNineImages) {
    const QByteArray ico = readAll(QStringLiteral(OMBREL_ART_DIR "/ombrel-config.ico"));
    ASSERT_GE(ico.size(), 6);
    EXPECT_EQ(le16(ico, 0), 0);  // reserved
    EXPECT_EQ(le16(ico, 2), 1);  // an icon, not a cursor
    const int count = le16(ico, 4);
    ASSERT_GE(ico.size(), 6 + 16 * count);

    std::multiset<std::tuple<int, int, int>> images;  // width, height, bits per pixel
    for (int i = 0; i < count; ++i) {
        const int entry = 6 + 16 * i;
        const int dirWidth = static_cast<uchar>(ico[entry]) == 0 ? 256 : static_cast<uchar>(ico[entry]);
        const int dirHeight = static_cast<uchar>(ico[entry + 1]) == 0 ? 256 : static_cast<uchar>(ico[entry + 1]);
        const quint32 length = le32(ico, entry + 8);
        const quint32 offset = le32(ico, entry + 12);
        ASSERT_LE(static_cast<qint64>(offset) + length, ico.size());
        const QByteArray data = ico.mid(static_cast<int>(offset), static_cast<int>(length));
        int width = 0, height = 0, bits = 0;
        if (data.startsWith(kPngSignature)) {
            // A PNG image: its header says the size; 32-bit means 8-bit RGBA.
            width = static_cast<int>(be32(data, 16));
            height = static_cast<int>(be32(data, 20));
            const int depth = static_cast<uchar>(data[24]), colourType = static_cast<uchar>(data[25]);
            bits = colourType == 6 ? 4 * depth : colourType == 2 ? 3 * depth : depth;
        } else {
            // A bitmap: its BITMAPINFOHEADER, twice the height for the mask.
            EXPECT_EQ(le32(data, 0), 40u);
            width = static_cast<int>(le32(data, 4));
            height = static_cast<int>(le32(data, 8)) / 2;
            bits = le16(data, 14);
        }
        EXPECT_EQ(width, dirWidth);
        EXPECT_EQ(height, dirHeight);
        images.insert({width, height, bits});
    }
    const std::multiset<std::tuple<int, int, int>> expected{
        {32, 32, 4},  {16, 16, 4},                                // 16 colours
        {48, 48, 8},  {32, 32, 8},   {16, 16, 8},                 // 256 colours
        {256, 256, 32}, {48, 48, 32}, {32, 32, 32}, {16, 16, 32}  // 32-bit colour
    };
    EXPECT_EQ(images, expected);
}

TEST(ArtworkTest, ProgramIconComesInEveryDesktopSize) {
    const QIcon icon = programIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage drawn(QStringLiteral(":/icons/ombrel-config-%1.png").arg(size));
        EXPECT_EQ(drawn.size(), QSize(size, size));
        EXPECT_TRUE(drawn.hasAlphaChannel());  // the tile's rounded corners are see-through
        EXPECT_LT(qAlpha(drawn.pixel(0, 0)), 64);
        EXPECT_EQ(qAlpha(drawn.pixel(size / 2, size / 2)), 255);
    }
}
