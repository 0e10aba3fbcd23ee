#pragma once

#include <QPageLayout>

#include <filesystem>
#include <string>
#include <vector>

class QIODevice;
class Song;
class StaffPrinter;
class ViewFilter;
struct ViewOptions;

// The staff printout written to files: A4 pages with 15 mm margins laid out for a
// 600 dpi device, as PDF (one PDF page per printed page) or as PNG images.
class StaffExport {
public:
    static constexpr int kDeviceDpi = 600;
    static constexpr int kImageDpi = 200;
    // The page of the exports (A4, 15 mm margins), which printing starts from too.
    static QPageLayout DefaultPageLayout();

    // Needs a QGuiApplication and the music fonts. False with `error` set on failure;
    // an existing file is only replaced once the new one is complete. A song longer than
    // the page limit is refused before anything is written.
    static bool WritePdf(Song& song, const ViewFilter& filter, const ViewOptions& options,
                         const std::filesystem::path& out, int& pages, std::string& error);
    // Page 1 to `out`, or with `allPages` every page n to OUT-n.png.
    static bool WritePng(Song& song, const ViewFilter& filter, const ViewOptions& options,
                         const std::filesystem::path& out, bool allPages,
                         std::vector<std::filesystem::path>& written, std::string& error);
    static std::filesystem::path PagePath(const std::filesystem::path& out, int page);

    // The two steps of the PDF, for writers of other devices: lays the printout out for
    // the exports' page (0 with `error` set when the song is refused), then paints every
    // page into `device`.
    static int Paginate(StaffPrinter& printer, std::string& error);
    static bool PaintPdf(StaffPrinter& printer, int pages, const Song& song, QIODevice& device,
                         std::string& error);
};
