#include "views/qt/StaffExport.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "model/Song.h"
#include "views/StaffPrinter.h"
#include "views/qt/QtDrawSurface.h"

namespace {

QPageLayout PageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QString ToQPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::string CannotWrite(const std::filesystem::path& path, const QString& why) {
    return "Cannot write " + path.string() + ": " + why.toStdString();
}

// Lays the song out for the page the exports share.
int Paginate(StaffPrinter& printer) {
    const QRect paint = PageLayout().paintRectPixels(StaffExport::kDeviceDpi);
    const int perCm = StaffPrinter::PixelsPerCentimetre(StaffExport::kDeviceDpi);
    return printer.CountPages(paint.width(), paint.height(), perCm, perCm);
}

} // namespace

std::filesystem::path StaffExport::PagePath(const std::filesystem::path& out, int page) {
    std::filesystem::path name = out.stem();
    name += "-" + std::to_string(page);
    name += out.extension();
    return out.parent_path() / name;
}

bool StaffExport::WritePdf(Song& song, const ViewFilter& filter, const ViewOptions& options,
                           const std::filesystem::path& out, int& pages, std::string& error) {
    StaffPrinter printer(song, filter, options);
    pages = Paginate(printer);
    QSaveFile file(ToQPath(out));
    if (!file.open(QIODevice::WriteOnly)) {
        error = CannotWrite(out, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kDeviceDpi);
        writer.setPageLayout(PageLayout());
        writer.setCreator("Vorlaune");
        writer.setTitle(song.title.text.IsEmpty()
                            ? QString("Untitled")
                            : QtDrawSurface::ToQString(song.title.text.view()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            error = CannotWrite(out, "the PDF could not be started");
            return false;
        }
        painter.setRenderHint(QPainter::Antialiasing);
        QtDrawSurface surface(painter);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            printer.PaintPage(page, surface);
        }
        painter.end();
    }
    if (!file.commit()) {
        error = CannotWrite(out, file.errorString());
        return false;
    }
    return true;
}

bool StaffExport::WritePng(Song& song, const ViewFilter& filter, const ViewOptions& options,
                           const std::filesystem::path& out, bool allPages,
                           std::vector<std::filesystem::path>& written, std::string& error) {
    StaffPrinter printer(song, filter, options);
    const int pages = Paginate(printer);
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
        QSaveFile file(ToQPath(path));
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
            error = CannotWrite(path, file.errorString());
            return false;
        }
        written.push_back(path);
    }
    return true;
}
