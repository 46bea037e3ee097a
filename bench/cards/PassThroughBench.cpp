// The cards command on 1,000 and 10,000 members, each with its own 480x640 photo, against two
// floors measured in the same run on the same photos: the pass-through floor, a minimal cairo
// program that writes the photos' JPEG bytes unchanged into a PDF, one photo to a page, with
// no text and no database; and the decode floor, libjpeg decoding every photo at full size
// and nothing else. The check list of 1,000 members is measured against the same floors.
// Every figure is a whole process started from a fresh fork (see ChildRun.h), so that its
// time and its peak resident size are its own; the floors read the photos from one file.
#include "ChildRun.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// Smooth gradients with a little noise, different for every member: stores like a camera
// photo reduced to 480x640, about 40 kilobytes.
QByteArray photo(int n)
{
    imaging::Picture picture(480, 640);
    unsigned seed = 11 + unsigned(n);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = int(seed >> 30);
            row[3 * x] = std::uint8_t(x * 255 / 480 + n + noise);
            row[3 * x + 1] = std::uint8_t(y * 255 / 640 + 3 * n + noise);
            row[3 * x + 2] = std::uint8_t((x + y + n) / 8 + noise);
        }
    }
    return imaging::encodeJpeg(picture);
}

// The photos of the first count members, stored as the program stores them; made once.
const std::vector<QByteArray>& photos(int count)
{
    static std::vector<QByteArray> made;
    while (int(made.size()) < count)
        made.push_back(photo(int(made.size())));
    return made;
}

// A starter database with count members, each with its own photo, made once per count.
QString database(int count)
{
    const QString file = folder().filePath(QStringLiteral("members-%1.mdb").arg(count));
    if (QFileInfo::exists(file))
        return file;
    data::createStarterDatabase(file, data::Tdsrc::password());
    data::Connection c;
    c.setConnectionString(data::buildConnectionString(file, data::Tdsrc::password()));
    c.open();
    data::Query add(c, QStringLiteral("add"));
    add.setSql(QStringLiteral("select * from stafftbl where seq = 0"));
    add.open();
    c.beginTransaction();
    for (int i = 0; i < count; ++i) {
        add.append();
        add.setValue(QStringLiteral("gid"), 0);
        add.setValue(QStringLiteral("cardno"), i);
        add.setValue(QStringLiteral("name"),
                     QStringLiteral("Member %1").arg(i, 5, 10, QChar(u'0')));
        add.setValue(QStringLiteral("cname"), QStringLiteral("陈大文"));
        add.setValue(QStringLiteral("staffno"), QStringLiteral("S%1").arg(i, 5, 10, QChar(u'0')));
        add.setValue(QStringLiteral("post"), QStringLiteral("Storekeeper"));
        add.setValue(QStringLiteral("datejoin"), QStringLiteral("5/03/2004"));
        add.setValue(QStringLiteral("expiry"), QStringLiteral("5/03/2009"));
        add.setBlob(QStringLiteral("photo"), photos(count)[std::size_t(i)]);
        add.post();
    }
    c.commit();
    return file;
}

// The same photos for the floors: each as a 32-bit length and the bytes.
QString pack(int count)
{
    const QString file = folder().filePath(QStringLiteral("photos-%1.pack").arg(count));
    if (QFileInfo::exists(file))
        return file;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < count; ++i) {
        const QByteArray& bytes = photos(count)[std::size_t(i)];
        const quint32 size = quint32(bytes.size());
        out.write(reinterpret_cast<const char*>(&size), sizeof size);
        out.write(bytes);
    }
    return file;
}

// The same photos as files of their own, for img2pdf.
QStringList photoFiles(int count)
{
    QDir dir(folder().filePath(QStringLiteral("photos-%1").arg(count)));
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << dir.filePath(QStringLiteral("%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
    if (dir.exists())
        return files;
    dir.mkpath(QStringLiteral("."));
    for (int i = 0; i < count; ++i) {
        QFile out(files[i]);
        if (!out.open(QIODevice::WriteOnly) || out.write(photos(count)[std::size_t(i)]) < 0)
            return {};
    }
    return files;
}

// Reads the next photo of a pack into newly allocated bytes; nullptr at the end.
unsigned char* nextPhoto(std::FILE* in, unsigned long& size)
{
    quint32 length = 0;
    if (std::fread(&length, sizeof length, 1, in) != 1)
        return nullptr;
    auto* bytes = static_cast<unsigned char*>(std::malloc(length));
    if (!bytes || std::fread(bytes, 1, length, in) != length) {
        std::free(bytes);
        return nullptr;
    }
    size = length;
    return bytes;
}

// The pass-through floor's process: every photo of the pack on a page of its own, its bytes
// given to cairo as the image's JPEG data, which cairo's PDF surface embeds unchanged.
int passThroughFloor(const char* packFile, const char* pdfFile)
{
    std::FILE* in = std::fopen(packFile, "rb");
    if (!in)
        return 1;
    cairo_surface_t* pdf = cairo_pdf_surface_create(pdfFile, 595.28, 841.89);
    cairo_t* cr = cairo_create(pdf);
    unsigned long size = 0;
    while (unsigned char* bytes = nextPhoto(in, size)) {
        // cairo takes the picture's size from the JPEG's frame header and draws it over the
        // surface it is attached to, so the surface needs no more than one pixel.
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cairo_surface_set_mime_data(image, CAIRO_MIME_TYPE_JPEG, bytes, size, std::free, bytes);
        cairo_save(cr);
        cairo_translate(cr, 28.35, 28.35);
        cairo_scale(cr, 59.6, 79.2); // 21.02 x 27.93 mm, the card's photo
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(image);
        cairo_show_page(cr);
    }
    std::fclose(in);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    const bool ok = cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pdf);
    return ok ? 0 : 1;
}

// The decode floor's process: every photo of the pack decoded at full size by libjpeg with
// its default settings, into one reused row.
int decodeFloor(const char* packFile)
{
    std::FILE* in = std::fopen(packFile, "rb");
    if (!in)
        return 1;
    std::vector<unsigned char> row;
    unsigned long size = 0;
    while (unsigned char* bytes = nextPhoto(in, size)) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes, size);
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        row.resize(std::size_t(cinfo.output_width) * std::size_t(cinfo.output_components));
        JSAMPROW rows[] = {row.data()};
        while (cinfo.output_scanline < cinfo.output_height)
            jpeg_read_scanlines(&cinfo, rows, 1);
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::free(bytes);
    }
    std::fclose(in);
    return 0;
}

QString self()
{
    return QCoreApplication::applicationFilePath();
}

QString program()
{
    // MELBRIN names another build of the program to compare with.
    return qEnvironmentVariableIsEmpty("MELBRIN") ? QStringLiteral(MELBRIN_EXE)
                                                  : qEnvironmentVariable("MELBRIN");
}

void measured(benchmark::State& state, const QString& exe, const QStringList& arguments,
              const QString& pdf = {})
{
    for (auto _ : state) {
        if (!pdf.isEmpty())
            QFile::remove(pdf);
        const benchchild::Run run = benchchild::runMeasured(exe, arguments);
        if (!run.ok) {
            state.SkipWithError("the process failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        state.counters["peak_MB"] = run.peakMegabytes;
        if (!pdf.isEmpty())
            state.counters["pdf_MB"] = double(QFileInfo(pdf).size()) / 1e6;
    }
}

QString output(const char* name)
{
    return folder().filePath(QString::fromLatin1(name));
}

void PassThroughFloor(benchmark::State& state)
{
    const QString pdf = output("floor.pdf");
    measured(state, self(), {QStringLiteral("--passthrough"), pack(int(state.range(0))), pdf}, pdf);
}

// The floor as measured by hand before: img2pdf, a PDF tool of its own, writing the photo
// files into a PDF unchanged, one per page.
void Img2pdfFloor(benchmark::State& state)
{
    const QString pdf = output("img2pdf.pdf");
    const QStringList files = photoFiles(int(state.range(0)));
    if (files.isEmpty()) {
        state.SkipWithError("the photo files could not be written");
        return;
    }
    measured(state, QStringLiteral("/usr/bin/img2pdf"),
             QStringList {QStringLiteral("--output"), pdf} + files, pdf);
}

void DecodeFloor(benchmark::State& state)
{
    measured(state, self(), {QStringLiteral("--decode"), pack(int(state.range(0)))});
}

void CardsCommand(benchmark::State& state)
{
    const QString pdf = output("cards.pdf");
    measured(state, program(),
             {QStringLiteral("cards"), QStringLiteral("--output"), pdf,
              QStringLiteral("--database"), database(int(state.range(0)))},
             pdf);
}

void CheckListCommand(benchmark::State& state)
{
    const QString pdf = output("checklist.pdf");
    measured(state, program(),
             {QStringLiteral("checklist"), QStringLiteral("--output"), pdf,
              QStringLiteral("--database"), database(int(state.range(0)))},
             pdf);
}

// Each subject right after its floors, so that they meet the same load.
#define MELBRIN_ONCE(name, count)                                                                  \
    BENCHMARK(name)->Arg(count)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime()
MELBRIN_ONCE(Img2pdfFloor, 1000);
MELBRIN_ONCE(PassThroughFloor, 1000);
MELBRIN_ONCE(DecodeFloor, 1000);
MELBRIN_ONCE(CardsCommand, 1000);
MELBRIN_ONCE(CheckListCommand, 1000);
MELBRIN_ONCE(Img2pdfFloor, 10000);
MELBRIN_ONCE(PassThroughFloor, 10000);
MELBRIN_ONCE(DecodeFloor, 10000);
MELBRIN_ONCE(CardsCommand, 10000);

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0)
        return benchchild::measureChild(argv + 2);
    if (argc == 4 && std::strcmp(argv[1], "--passthrough") == 0)
        return passThroughFloor(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "--decode") == 0)
        return decodeFloor(argv[2]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
