#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <filesystem>
#include <regex>
#include <sys/stat.h>

#include "midifile/MidiReader.h"
#include "model/Song.h"
#include "support/TempDir.h"
#include "views/StaffPrinter.h"
#include "views/qt/QtDrawSurface.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffFonts.h"

namespace {

class StaffQt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);
        ASSERT_TRUE(LoadStaffFonts(VORLAUNE_RESOURCE_DIR)) << kStaffFontsMissing;
    }
};

int PdfPageCount(const std::string& pdf) {
    static const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// Rows where a dark line runs across most of the image: staff lines.
int LongDarkRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
        rows += dark > image.width() / 2;
    }
    return rows;
}

} // namespace

TEST_F(StaffQt, MusicFontsAreCalibratedToTheStaff) {
    QFont small("Vorlan");
    small.setPixelSize(220);
    small.setHintingPreference(QFont::PreferNoHinting);
    QFontMetrics metrics(small);
    ASSERT_EQ(QFontInfo(small).family(), "Vorlan");
    // A filled head is one line space (80 units) high, centred on its baseline.
    const QRect head = metrics.boundingRect(QChar('A'));
    EXPECT_NEAR(head.height(), 80, 3);
    EXPECT_NEAR(head.center().y(), 0, 2);
    // Key-signature signs advance 90 (flat) and 105 (sharp) units.
    EXPECT_NEAR(metrics.horizontalAdvance(QChar('G')), 90, 1);
    EXPECT_NEAR(metrics.horizontalAdvance(QChar('H')), 105, 1);
    // Every character of the assignment exists.
    for (char c = 'A'; c <= 'e'; ++c)
        EXPECT_TRUE(metrics.inFont(QChar(c))) << c;

    QFont large("VorlanB");
    large.setPixelSize(1400);
    large.setHintingPreference(QFont::PreferNoHinting);
    QFontMetrics clefs(large);
    ASSERT_EQ(QFontInfo(large).family(), "VorlanB");
    // The treble clef spans about seven and a half spaces; the bass clef's dots sit
    // around its baseline, the F line.
    EXPECT_NEAR(clefs.boundingRect(QChar('A')).height(), 585, 15);
    const QRect bass = clefs.boundingRect(QChar('B'));
    EXPECT_LT(bass.top(), -40);
    EXPECT_GT(bass.bottom(), 40);
    EXPECT_GT(clefs.boundingRect(QChar('D')).bottom(), clefs.boundingRect(QChar('A')).bottom());
}

TEST_F(StaffQt, TextsReadAsUtf8OrElseLatin1) {
    EXPECT_EQ(QtDrawSurface::ToQString("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(QtDrawSurface::ToQString("caf\xe9"), QString::fromUtf8("caf\xc3\xa9"));
}

TEST_F(StaffQt, TieArcsBowUpwards) {
    QImage image(220, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtDrawSurface surface(painter);
        surface.SetPen({3, {0, 0, 0}, PenStyle::Solid});
        // As the drawer asks for a tie: from the right top corner's direction round
        // to the left top corner's.
        surface.Arc(10, 10, 210, 110, 210, 10, 10, 10);
    }
    int darkTop = 0, darkBottom = 0;
    for (int y = 0; y < 60; ++y)
        darkTop += qGray(image.pixel(110, y)) < 128;
    for (int y = 60; y < 120; ++y)
        darkBottom += qGray(image.pixel(110, y)) < 128;
    EXPECT_GT(darkTop, 0);
    EXPECT_EQ(darkBottom, 0);
}

TEST_F(StaffQt, CorpusSongExportsToPdfAndPng) {
    const std::filesystem::path song =
        std::filesystem::path(VORLAUNE_CORPUS_DIR) / "midi-edge" / "test-all-gm-sounds.mid";
    if (!std::filesystem::exists(song))
        GTEST_SKIP() << "corpus file missing: " << song;
    std::unique_ptr<Song> loaded;
    ASSERT_TRUE(MidiReader::LoadSong(song, loaded));
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    ASSERT_TRUE(ChoosePrintTracks(*loaded, 0, filter, options, error));

    TempDir dir;
    int pages = 0;
    ASSERT_TRUE(StaffExport::WritePdf(*loaded, filter, options, dir / "out.pdf", pages, error))
        << error;
    EXPECT_GT(pages, 5);
    EXPECT_EQ(PdfPageCount(TempDir::Read(dir / "out.pdf")), pages);

    std::vector<std::filesystem::path> written;
    ASSERT_TRUE(
        StaffExport::WritePng(*loaded, filter, options, dir / "out.png", true, written, error))
        << error;
    ASSERT_EQ(static_cast<int>(written.size()), pages);
    EXPECT_EQ(written.back(), dir / ("out-" + std::to_string(pages) + ".png"));
    QImage first(QString::fromStdString(written.front().string()));
    ASSERT_FALSE(first.isNull());
    EXPECT_NEAR(first.width(), 1654, 1); // A4 at 200 dpi
    // Every grand staff shows ten long lines; page 1 holds at least two systems.
    EXPECT_GE(LongDarkRows(first), 20);
    // The margins stay white.
    for (int y = 0; y < first.height(); y += 7)
        ASSERT_EQ(qGray(first.pixel(5, y)), 255) << y;
}

TEST_F(StaffQt, ChoosingATrackThatDoesNotExistIsRefused) {
    Song song;
    song.AddTrack(0, 0, -1);
    song.GetTrack(0)->options.clefType = kClefBass;
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    EXPECT_FALSE(ChoosePrintTracks(song, 2, filter, options, error));
    EXPECT_EQ(error, "Cannot print track 2:\n\nThe song has 1 track.");
    ASSERT_TRUE(ChoosePrintTracks(song, 1, filter, options, error));
    EXPECT_EQ(options.clefType, kClefBass);
    EXPECT_FALSE(filter.AllTracks());
    ASSERT_TRUE(ChoosePrintTracks(song, 0, filter, options, error));
    EXPECT_TRUE(filter.AllTracks());
    EXPECT_EQ(options.clefType, kClefBass); // the first track's options
}

TEST_F(StaffQt, ExportsThatCannotBeWrittenSayWhyAndKeepTheOldFile) {
    Song song;
    song.AddTrack(0, 0, -1);
    TempDir dir;
    ViewFilter filter;
    ViewOptions options;
    std::string error;
    int pages = 0;
    for (const char* name : {"locked.pdf", "locked.png"}) {
        const auto locked = dir.Write(name, "the user's page");
        ::chmod(locked.c_str(), 0444);
        std::vector<std::filesystem::path> written;
        const bool saved =
            locked.extension() == ".pdf"
                ? StaffExport::WritePdf(song, filter, options, locked, pages, error)
                : StaffExport::WritePng(song, filter, options, locked, false, written, error);
        EXPECT_FALSE(saved) << name;
        EXPECT_EQ(error, "Cannot write the file " + locked.string() + ":\n\nPermission denied");
        EXPECT_EQ(TempDir::Read(locked), "the user's page");
    }
    std::vector<std::filesystem::path> none;
    EXPECT_FALSE(
        StaffExport::WritePng(song, filter, options, dir / "gone" / "x.png", false, none, error));
    EXPECT_EQ(error, "Cannot write the file " + (dir / "gone" / "x.png").string() +
                         ":\n\nNo such file or directory");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);
}
