// Turns the plain-text user guide (docs/userguide.md: "# " title, "## " headings, "- " items,
// "![caption](picture.png)" pictures, paragraphs separated by blank lines) into a small PDF with
// the standard Helvetica fonts, so the program can carry its guide without any document tool at
// build time. The pictures are PNG files from the picture folder (8-bit RGB, not interlaced, as
// render-panel writes them); their compressed rows go into the PDF as they are.
//
//   orvo_pdfgen docs/userguide.md Orvo_userguide-V122.pdf [picture folder]

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPageWidth = 595;  // A4 in points
constexpr double kPageHeight = 842;
constexpr double kMargin = 64;

struct Line {
    std::string text;
    bool bold;
    double size;
    double indent;
    double spaceBefore;
    int picture = -1;  // index into the pictures; the line then holds only the picture
};

// A PNG picture as the PDF takes it: its size and its zlib stream of filtered rows.
struct Picture {
    std::string name;
    uint32_t width = 0;
    uint32_t height = 0;
    std::string rows;
};

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
}

// Reads the picture's header and joins its image data chunks; false with a reason for anything
// but an 8-bit RGB picture without interlacing.
bool LoadPicture(const std::string& path, Picture& picture, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), {});
    if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        why = "not a PNG file";
        return false;
    }
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = BigEndian32(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (at + 12 + length > png.size()) break;
        if (type == "IHDR") {
            picture.width = BigEndian32(png, at + 8);
            picture.height = BigEndian32(png, at + 12);
            const int depth = uint8_t(png[at + 16]), colour = uint8_t(png[at + 17]);
            if (depth != 8 || colour != 2 || png[at + 20] != 0) {
                why = "not an 8-bit RGB picture without interlacing";
                return false;
            }
        } else if (type == "IDAT") {
            picture.rows += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    if (picture.width == 0 || picture.rows.empty()) {
        why = "no picture data";
        return false;
    }
    return true;
}

// Helvetica advance widths in 1/1000 em for printable ASCII; enough to wrap lines evenly.
double CharWidth(char c, bool bold) {
    static const short kRegular[95] = {
        278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,
        556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,
        1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,
        667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,
        333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,
        556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};
    const int index = c - 32;
    const double width = index >= 0 && index < 95 ? kRegular[index] : 556;
    return bold ? width * 1.06 : width;
}

double TextWidth(const std::string& text, bool bold, double size) {
    double total = 0;
    for (char c : text)
        total += CharWidth(c, bold);
    return total * size / 1000;
}

void Wrap(const std::string& text, bool bold, double size, double indent, double spaceBefore,
          std::vector<Line>& out) {
    std::istringstream words(text);
    std::string word;
    std::string line;
    const double width = kPageWidth - 2 * kMargin - indent;
    bool first = true;
    while (words >> word) {
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(candidate, bold, size) > width) {
            out.push_back({line, bold, size, indent, first ? spaceBefore : 0});
            first = false;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.empty()) out.push_back({line, bold, size, indent, first ? spaceBefore : 0});
}

std::vector<Line> Layout(std::istream& in, std::vector<Picture>& pictures) {
    std::vector<Line> lines;
    std::string paragraph;
    std::string raw;
    auto flush = [&]() {
        if (!paragraph.empty()) Wrap(paragraph, false, 10.5, 0, 7, lines);
        paragraph.clear();
    };
    while (std::getline(in, raw)) {
        if (raw.rfind("## ", 0) == 0) {
            flush();
            Wrap(raw.substr(3), true, 13, 0, 16, lines);
        } else if (raw.rfind("# ", 0) == 0) {
            flush();
            Wrap(raw.substr(2), true, 20, 0, 0, lines);
        } else if (raw.rfind("- ", 0) == 0) {
            flush();
            Wrap("\x95 " + raw.substr(2), false, 10.5, 12, 4, lines);
        } else if (raw.rfind("![", 0) == 0 && raw.find("](") != std::string::npos) {
            flush();
            const size_t close = raw.find("](");
            Picture picture;
            picture.name = raw.substr(close + 2, raw.find(')', close) - close - 2);
            pictures.push_back(picture);
            lines.push_back({"", false, 0, 0, 10, static_cast<int>(pictures.size()) - 1});
            Wrap(raw.substr(2, close - 2), false, 9, 0, 3, lines);
        } else if (raw.empty()) {
            flush();
        } else {
            paragraph += (paragraph.empty() ? "" : " ") + raw;
        }
    }
    flush();
    return lines;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// Splits the lines into page content streams.
std::vector<std::string> Pages(const std::vector<Line>& lines, const std::vector<Picture>& pictures,
                               double pixelsPerPoint) {
    std::vector<std::string> pages;
    std::ostringstream page;
    double y = kPageHeight - kMargin;
    int number = 1;
    auto finish = [&]() {
        page << "BT /F1 9 Tf " << kPageWidth / 2 - 8 << " " << kMargin / 2 << " Td (" << number++
             << ") Tj ET\n";
        pages.push_back(page.str());
        page.str("");
        y = kPageHeight - kMargin;
    };
    for (const Line& line : lines) {
        if (line.picture >= 0) {
            // A point for pixelsPerPoint pixels at most (a small cut stays sharp), no wider than
            // the text and no taller than half a page.
            const Picture& picture = pictures[static_cast<size_t>(line.picture)];
            double width =
                std::min<double>(kPageWidth - 2 * kMargin, picture.width / pixelsPerPoint);
            double height = width * picture.height / picture.width;
            const double tallest = (kPageHeight - 2 * kMargin) / 2;
            if (height > tallest) {
                width *= tallest / height;
                height = tallest;
            }
            if (y - height - line.spaceBefore < kMargin + 20) finish();
            y -= height + line.spaceBefore;
            page << "q " << width << " 0 0 " << height << " " << kMargin << " " << y << " cm /Im"
                 << line.picture << " Do Q\n";
            continue;
        }
        const double height = line.size * 1.35 + line.spaceBefore;
        // A heading keeps a few lines of what it heads on its page.
        const double keep = line.bold ? 5 * 14.0 : 0;
        if (y - height - keep < kMargin) finish();
        y -= height;
        page << "BT /" << (line.bold ? "F2 " : "F1 ") << line.size << " Tf "
             << kMargin + line.indent << " " << y << " Td (" << Escape(line.text) << ") Tj ET\n";
    }
    finish();
    return pages;
}

std::string Document(const std::vector<std::string>& pages, const std::vector<Picture>& pictures) {
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    const size_t firstPage = 5 + pictures.size();
    std::string kids;
    for (size_t i = 0; i < pages.size(); ++i)
        kids += std::to_string(firstPage + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " +
                      std::to_string(pages.size()) + " >>");
    objects.push_back(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    objects.push_back(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
    std::string xobjects;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        const std::string columns = std::to_string(p.width);
        objects.push_back("<< /Type /XObject /Subtype /Image /Width " + columns + " /Height " +
                          std::to_string(p.height) +
                          " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode"
                          " /DecodeParms << /Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns " +
                          columns + " >> /Length " + std::to_string(p.rows.size()) +
                          " >>\nstream\n" + p.rows + "\nendstream");
        xobjects += "/Im" + std::to_string(i) + " " + std::to_string(5 + i) + " 0 R ";
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
            "/F2 4 0 R >> /XObject << " +
            xobjects + ">> >> /Contents " + std::to_string(firstPage + 1 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(pages[i].size()) + " >>\nstream\n" +
                          pages[i] + "endstream");
    }
    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R /Info << /Title (Orvo Editor User Guide) >> >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::cerr << "usage: orvo_pdfgen GUIDE.md OUTPUT.pdf [PICTURE_FOLDER [PIXELS_PER_POINT]]\n";
        return 2;
    }
    // The pictures' pixels per point of the page at their natural size; the guide's pictures
    // are drawn at the panel's zoom for print.
    const double pixelsPerPoint = argc == 5 ? std::atof(argv[4]) : 1.0;
    if (!(pixelsPerPoint >= 1.0 && pixelsPerPoint <= 8.0)) {
        std::cerr << "orvo_pdfgen: pixels per point are 1 to 8\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "orvo_pdfgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<Picture> pictures;
    const std::vector<Line> lines = Layout(in, pictures);
    const std::string folder = argc >= 4 ? std::string(argv[3]) + "/" : std::string();
    for (Picture& picture : pictures) {
        std::string why;
        if (!LoadPicture(folder + picture.name, picture, why)) {
            std::cerr << "orvo_pdfgen: " << folder + picture.name << ": " << why << "\n";
            return 1;
        }
    }
    const std::string pdf = Document(Pages(lines, pictures, pixelsPerPoint), pictures);
    const std::string partial = std::string(argv[2]) + ".part";
    std::ofstream out(partial, std::ios::binary);
    out.write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
    out.close();
    if (!out || std::rename(partial.c_str(), argv[2]) != 0) {
        std::remove(partial.c_str());
        std::cerr << "orvo_pdfgen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
