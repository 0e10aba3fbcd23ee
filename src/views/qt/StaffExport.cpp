#include "views/qt/StaffExport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "model/Song.h"
#include "util/AtomicFile.h"
#include "views/StaffPrinter.h"
#include "views/qt/QtDrawSurface.h"

namespace {

QPageLayout PageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

std::string CannotWrite(const std::filesystem::path& path, const std::string& why) {
    return "Cannot write the file " + path.string() + ":\n\n" + why;
}

} // namespace

std::filesystem::path StaffExport::PagePath(const std::filesystem::path& out, int page) {
    std::filesystem::path name = out.stem();
    name += "-" + std::to_string(page);
    name += out.extension();
    return out.parent_path() / name;
}

QPageLayout StaffExport::DefaultPageLayout() {
    return PageLayout();
}

int StaffExport::Paginate(StaffPrinter& printer, std::string& error) {
    const QRect paint = PageLayout().paintRectPixels(kDeviceDpi);
    const int perCm = StaffPrinter::PixelsPerCentimetre(kDeviceDpi);
    const int pages = printer.CountPages(paint.width(), paint.height(), perCm, perCm);
    if (pages == 0)
        error = printer.Refusal();
    return pages;
}

bool StaffExport::PaintPdf(StaffPrinter& printer, int pages, const Song& song, QIODevice& device,
                           std::string& error) {
    QPdfWriter writer(&device);
    writer.setResolution(kDeviceDpi);
    writer.setPageLayout(PageLayout());
    writer.setCreator("Vorlaune");
    const std::string_view title = song.title.text.Displayed();
    writer.setTitle(title.empty() ? QString("Untitled") : QtDrawSurface::ToQString(title));
    QPainter painter;
    if (!painter.begin(&writer)) {
        error = "the PDF could not be started";
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QtDrawSurface surface(painter);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        printer.PaintPage(page, surface);
    }
    if (!painter.end()) {
        error = "the PDF could not be finished";
        return false;
    }
    return true;
}

bool StaffExport::WritePdf(Song& song, const ViewFilter& filter, const ViewOptions& options,
                           const std::filesystem::path& out, int& pages, std::string& error) {
    StaffPrinter printer(song, filter, options);
    pages = Paginate(printer, error);
    if (pages == 0 && !error.empty())
        return false;
    AtomicFile file(out);
    if (const FileResult opened = file.Open(); !opened) {
        error = CannotWrite(out, opened.Reason());
        return false;
    }
    QFile device;
    if (!device.open(file.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        error = CannotWrite(out, device.errorString().toStdString());
        return false;
    }
    std::string why;
    const bool painted = PaintPdf(printer, pages, song, device, why);
    // Qt keeps what the system said when a write failed.
    if (!device.flush() || device.error() != QFileDevice::NoError) {
        error = CannotWrite(out, device.errorString().toStdString());
        return false;
    }
    device.close();
    if (!painted) {
        error = CannotWrite(out, why);
        return false;
    }
    if (const FileResult committed = file.Commit(); !committed) {
        error = CannotWrite(out, committed.Reason());
        return false;
    }
    return true;
}

bool StaffExport::WritePng(Song& song, const ViewFilter& filter, const ViewOptions& options,
                           const std::filesystem::path& out, bool allPages,
                           std::vector<std::filesystem::path>& written, std::string& error) {
    StaffPrinter printer(song, filter, options);
    const int pages = Paginate(printer, error);
    if (pages == 0 && !error.empty())
        return false;
    const QPageLayout layout = PageLayout();
    const QRect full = layout.fullRectPixels(kImageDpi);
    const QRect paint = layout.paintRectPixels(kDeviceDpi);
    const double shrink = static_cast<double>(kImageDpi) / kDeviceDpi;
    for (int page = 1; page <= (allPages ? pages : std::min(pages, 1)); ++page) {
        QImage image(full.size(), QImage::Format_RGB32);
        image.setDotsPerMeterX(static_cast<int>(kImageDpi / 0.0254 + 0.5));
        image.setDotsPerMeterY(static_cast<int>(kImageDpi / 0.0254 + 0.5));
        image.fill(Qt::white);
        {
            // Painted in the 600 dpi page's coordinates, so that the images show exactly
            // the pages of the PDF.
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            painter.scale(shrink, shrink);
            painter.translate(paint.topLeft());
            QtDrawSurface surface(painter);
            printer.PaintPage(page, surface);
        }
        const std::filesystem::path path = allPages ? PagePath(out, page) : out;
        // Encoded in memory first, so that a failure on disk reports the system's reason.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            error = CannotWrite(path, "the image could not be encoded");
            return false;
        }
        const FileResult saved =
            AtomicFile::Replace(path, std::string_view(bytes.constData(), bytes.size()));
        if (!saved) {
            error = CannotWrite(path, saved.Reason());
            return false;
        }
        written.push_back(path);
    }
    return true;
}
