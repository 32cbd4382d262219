// Draws the toolbar's ten button bitmaps (40 x 40, 24-bit BMP) and the
// program icon (32 x 32 ICO) into the directory given as the only argument.
// Built and run on the build machine; the resource script includes the files.
//
// Each button has an "up" picture (raised face) and a "down" picture (sunken
// face, symbol moved one pixel down and right):
//   prev      a thick arrow pointing left        (back to the previous index)
//   selct     an arrow entering an open folder   (open the selected entry)
//   copy      two overlapping pages              (copy the file)
//   findnext  a magnifier and a triangle down    (search forwards)
//   findprev  a magnifier and a triangle up      (search backwards)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Color {
  uint8_t r, g, b;
};

constexpr Color kFace{192, 192, 192};
constexpr Color kWhite{255, 255, 255};
constexpr Color kShadow{128, 128, 128};
constexpr Color kBlack{0, 0, 0};
constexpr Color kNavy{0, 0, 160};
constexpr Color kGreen{0, 128, 0};
constexpr Color kYellow{240, 200, 40};
constexpr Color kPaper{255, 255, 240};

struct Point {
  double x, y;
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height, kFace) {}

  void Set(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = c;
  }
  void FillRect(int x0, int y0, int x1, int y1, Color c) {  // inclusive
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, c);
  }
  void Frame(int x0, int y0, int x1, int y1, Color c) {
    for (int x = x0; x <= x1; ++x) Set(x, y0, c), Set(x, y1, c);
    for (int y = y0; y <= y1; ++y) Set(x0, y, c), Set(x1, y, c);
  }
  // Fills every pixel whose centre lies inside the polygon (even-odd rule).
  void FillPolygon(std::vector<Point> points, Color c, Point offset) {
    for (Point& p : points) p.x += offset.x, p.y += offset.y;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        double px = x + 0.5, py = y + 0.5;
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
          const Point& a = points[i];
          const Point& b = points[j];
          if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        if (inside) Set(x, y, c);
      }
    }
  }
  // A line of the given thickness with round ends.
  void Line(Point a, Point b, double thickness, Color c, Point offset) {
    a.x += offset.x, a.y += offset.y, b.x += offset.x, b.y += offset.y;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
        double dx = b.x - a.x, dy = b.y - a.y;
        double length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? std::fmax(0, std::fmin(1, (px * dx + py * dy) / length2)) : 0;
        double ex = px - t * dx, ey = py - t * dy;
        if (ex * ex + ey * ey <= thickness * thickness / 4) Set(x, y, c);
      }
    }
  }
  void Ring(Point centre, double outer, double inner, Color c, Point offset) {
    centre.x += offset.x, centre.y += offset.y;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
        double d = std::sqrt(dx * dx + dy * dy);
        if (d <= outer && d >= inner) Set(x, y, c);
      }
    }
  }

  // A raised (up) or sunken (down) button face with a two-pixel bevel.
  void Bevel(bool down) {
    Color light = down ? kShadow : kWhite;
    Color dark = down ? kWhite : kShadow;
    Frame(0, 0, width_ - 1, height_ - 1, kBlack);
    for (int i = 1; i <= 2; ++i) {
      for (int x = i; x < width_ - i; ++x) Set(x, i, light), Set(x, height_ - 1 - i, dark);
      for (int y = i; y < height_ - i; ++y) Set(i, y, light), Set(width_ - 1 - i, y, dark);
    }
  }

  // 24-bit bottom-up BMP.
  bool WriteBmp(const std::string& path) const {
    std::vector<uint8_t> data = Bmp(false);
    return Write(path, data);
  }
  // An icon file holding one 24-bit image with an all-opaque mask.
  bool WriteIco(const std::string& path) const {
    std::vector<uint8_t> image = Bmp(true);
    std::vector<uint8_t> file;
    auto u16 = [&file](uint32_t v) { file.push_back(v & 0xFF), file.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(0), u16(1), u16(1);                                    // ICONDIR: reserved, type icon, one image
    file.push_back(static_cast<uint8_t>(width_));              // ICONDIRENTRY
    file.push_back(static_cast<uint8_t>(height_));
    file.push_back(0), file.push_back(0);
    u16(1), u16(24);
    u32(static_cast<uint32_t>(image.size())), u32(6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return Write(path, file);
  }

 private:
  static bool Write(const std::string& path, const std::vector<uint8_t>& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
  }

  // The DIB: for an icon without the file header, with a doubled height and
  // the AND mask after the pixels.
  std::vector<uint8_t> Bmp(bool icon) const {
    int row = (width_ * 3 + 3) / 4 * 4;
    int mask_row = (width_ + 31) / 32 * 4;
    uint32_t pixel_bytes = static_cast<uint32_t>(row * height_);
    uint32_t mask_bytes = icon ? static_cast<uint32_t>(mask_row * height_) : 0;
    std::vector<uint8_t> out;
    auto u16 = [&out](uint32_t v) { out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    if (!icon) {
      out.push_back('B'), out.push_back('M');
      u32(14 + 40 + pixel_bytes), u32(0), u32(14 + 40);
    }
    u32(40), u32(static_cast<uint32_t>(width_)), u32(static_cast<uint32_t>(icon ? height_ * 2 : height_));
    u16(1), u16(24), u32(0), u32(pixel_bytes + mask_bytes), u32(2835), u32(2835), u32(0), u32(0);
    for (int y = height_ - 1; y >= 0; --y) {
      for (int x = 0; x < width_; ++x) {
        const Color& c = pixels_[y * width_ + x];
        out.push_back(c.b), out.push_back(c.g), out.push_back(c.r);
      }
      for (int pad = width_ * 3; pad < row; ++pad) out.push_back(0);
    }
    out.insert(out.end(), mask_bytes, 0);
    return out;
  }

  int width_, height_;
  std::vector<Color> pixels_;
};

void DrawPrev(Canvas& c, Point o) {
  c.FillPolygon({{7, 20}, {19, 8}, {19, 15}, {32, 15}, {32, 25}, {19, 25}, {19, 32}}, kNavy, o);
}

void DrawSelect(Canvas& c, Point o) {
  c.FillPolygon({{12, 14}, {18, 14}, {20, 17}, {33, 17}, {33, 32}, {12, 32}}, kYellow, o);  // folder
  c.Line({12, 32}, {33, 32}, 1.2, kBlack, o);
  c.Line({33, 17}, {33, 32}, 1.2, kBlack, o);
  c.Line({12, 14}, {12, 32}, 1.2, kBlack, o);
  c.FillPolygon({{4, 20}, {16, 20}, {16, 15}, {25, 24}, {16, 33}, {16, 28}, {4, 28}}, kGreen, o);  // arrow in
}

void DrawPage(Canvas& c, double x, double y, Point o) {
  c.FillPolygon({{x, y}, {x + 12, y}, {x + 17, y + 5}, {x + 17, y + 21}, {x, y + 21}}, kPaper, o);
  c.Line({x, y}, {x + 12, y}, 1.2, kBlack, o);
  c.Line({x + 12, y}, {x + 17, y + 5}, 1.2, kBlack, o);
  c.Line({x + 17, y + 5}, {x + 17, y + 21}, 1.2, kBlack, o);
  c.Line({x + 17, y + 21}, {x, y + 21}, 1.2, kBlack, o);
  c.Line({x, y + 21}, {x, y}, 1.2, kBlack, o);
  for (double line = y + 7; line < y + 19; line += 4) c.Line({x + 3, line}, {x + 14, line}, 1, kNavy, o);
}

void DrawCopy(Canvas& c, Point o) {
  DrawPage(c, 7, 6, o);
  DrawPage(c, 16, 14, o);
}

void DrawFind(Canvas& c, Point o, bool forwards) {
  c.Ring({15, 15}, 8, 5, kBlack, o);
  c.Line({21, 21}, {28, 28}, 4, kBlack, o);
  if (forwards) {
    c.FillPolygon({{22, 27}, {36, 27}, {29, 35}}, kNavy, o);
  } else {
    c.FillPolygon({{22, 13}, {36, 13}, {29, 5}}, kNavy, o);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_toolbar_bitmaps <output directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  struct Button {
    const char* name;
    void (*draw)(Canvas&, Point);
  } buttons[] = {
      {"prev", DrawPrev},
      {"selct", DrawSelect},
      {"copy", DrawCopy},
      {"findnext", [](Canvas& c, Point o) { DrawFind(c, o, true); }},
      {"findprev", [](Canvas& c, Point o) { DrawFind(c, o, false); }},
  };
  for (const Button& button : buttons) {
    for (bool down : {false, true}) {
      Canvas canvas(40, 40);
      canvas.Bevel(down);
      button.draw(canvas, down ? Point{1, 1} : Point{0, 0});
      std::string path = dir + "/" + button.name + (down ? "_down.bmp" : "_up.bmp");
      if (!canvas.WriteBmp(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  // The program icon: a disc with an index page in front of it.
  Canvas icon(32, 32);
  icon.FillRect(0, 0, 31, 31, kFace);
  icon.Ring({16, 16}, 15, 4, {170, 190, 220}, {0, 0});
  icon.Ring({16, 16}, 15, 14, kShadow, {0, 0});
  icon.Ring({16, 16}, 4, 3, kShadow, {0, 0});
  DrawPage(icon, 16, 9, {-2, 0});
  if (!icon.WriteIco(dir + "/tamblor.ico")) {
    std::fprintf(stderr, "cannot write %s/tamblor.ico\n", dir.c_str());
    return 1;
  }
  return 0;
}
