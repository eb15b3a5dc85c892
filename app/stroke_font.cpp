#include "app/stroke_font.h"

#include <cstring>

namespace {

// A stroke: a line between two grid points, or a dot on one.
struct Stroke {
  bool dot;
  int x1, y1, x2, y2;
};

constexpr Stroke Line(int x1, int y1, int x2, int y2) { return {false, x1, y1, x2, y2}; }
constexpr Stroke Dot(int x, int y) { return {true, x, y, x, y}; }

struct Glyph {
  int count;
  Stroke strokes[9];
};

// The glyphs by index: character code - 32, the German letters at 91 to 97.
// (Indices 65 to 90, the lower-case letters, draw the upper-case glyphs.)
const Glyph kGlyphs[] = {
    /*  0 32 (space) */ {0, {}},
    /*  1 33 (exclamation mark) */ {2, {Line(2, 0, 2, 3), Dot(2, 4)}},
    /*  2 34 (double quote) */ {2, {Line(1, 0, 1, 1), Line(2, 0, 2, 1)}},
    /*  3 35 (number sign) */ {4, {Line(1, 0, 1, 4), Line(3, 0, 3, 4), Line(0, 1, 4, 1), Line(0, 3, 4, 3)}},
    /*  4 36 (dollar) */ {8, {Line(4, 0, 1, 0), Line(1, 0, 0, 1), Line(0, 1, 0, 2), Line(0, 2, 4, 2), Line(4, 2, 4, 3), Line(4, 3, 3, 4), Line(3, 4, 0, 4), Line(2, 0, 2, 4)}},
    /*  5 37 (percent) */ {9, {Line(0, 0, 1, 0), Line(1, 0, 1, 1), Line(1, 1, 0, 1), Line(0, 1, 0, 0), Line(3, 3, 4, 3), Line(4, 3, 4, 4), Line(4, 4, 3, 4), Line(3, 4, 3, 3), Line(0, 4, 4, 0)}},
    /*  6 38 (ampersand) */ {0, {}},
    /*  7 39 (apostrophe) */ {1, {Line(2, 0, 2, 1)}},
    /*  8 40 (left parenthesis) */ {3, {Line(2, 0, 1, 1), Line(1, 1, 1, 3), Line(1, 3, 2, 4)}},
    /*  9 41 (right parenthesis) */ {3, {Line(2, 0, 3, 1), Line(3, 1, 3, 3), Line(3, 3, 2, 4)}},
    /* 10 42 (asterisk) */ {4, {Line(2, 1, 2, 3), Line(1, 2, 3, 2), Line(1, 1, 3, 3), Line(1, 3, 3, 1)}},
    /* 11 43 (plus) */ {2, {Line(2, 1, 2, 3), Line(1, 2, 3, 2)}},
    /* 12 44 (comma) */ {1, {Line(2, 3, 1, 4)}},
    /* 13 45 (hyphen) */ {1, {Line(1, 2, 3, 2)}},
    /* 14 46 (full stop) */ {1, {Dot(2, 4)}},
    /* 15 47 (slash) */ {1, {Line(0, 4, 4, 0)}},
    /* 16 48 (0) */ {5, {Line(0, 0, 4, 0), Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(4, 4, 4, 0), Line(0, 4, 4, 0)}},
    /* 17 49 (1) */ {2, {Line(0, 2, 2, 0), Line(2, 0, 2, 4)}},
    /* 18 50 (2) */ {5, {Line(0, 0, 4, 0), Line(4, 0, 4, 2), Line(4, 2, 2, 2), Line(2, 2, 0, 4), Line(0, 4, 4, 4)}},
    /* 19 51 (3) */ {5, {Line(0, 0, 2, 0), Line(2, 0, 4, 2), Line(4, 2, 4, 4), Line(4, 4, 0, 4), Line(4, 2, 2, 2)}},
    /* 20 52 (4) */ {3, {Line(0, 0, 0, 2), Line(0, 2, 4, 2), Line(4, 0, 4, 4)}},
    /* 21 53 (5) */ {5, {Line(4, 0, 0, 0), Line(0, 0, 0, 2), Line(0, 2, 4, 2), Line(4, 2, 4, 4), Line(4, 4, 0, 4)}},
    /* 22 54 (6) */ {5, {Line(2, 0, 0, 2), Line(0, 2, 0, 4), Line(0, 4, 4, 4), Line(4, 4, 4, 2), Line(4, 2, 0, 2)}},
    /* 23 55 (7) */ {3, {Line(0, 0, 4, 0), Line(4, 0, 2, 2), Line(2, 2, 2, 4)}},
    /* 24 56 (8) */ {5, {Line(0, 0, 0, 4), Line(4, 0, 4, 4), Line(0, 2, 4, 2), Line(0, 0, 4, 0), Line(0, 4, 4, 4)}},
    /* 25 57 (9) */ {5, {Line(0, 0, 4, 0), Line(0, 0, 0, 2), Line(0, 2, 4, 2), Line(4, 0, 4, 2), Line(4, 2, 2, 4)}},
    /* 26 58 (colon) */ {2, {Dot(2, 1), Dot(2, 3)}},
    /* 27 59 (semicolon) */ {2, {Dot(2, 1), Line(2, 3, 1, 4)}},
    /* 28 60 (less-than) */ {2, {Line(2, 1, 1, 2), Line(1, 2, 2, 3)}},
    /* 29 61 (equals) */ {2, {Line(1, 1, 3, 1), Line(1, 3, 3, 3)}},
    /* 30 62 (greater-than) */ {2, {Line(1, 1, 2, 2), Line(2, 2, 1, 3)}},
    /* 31 63 (question mark) */ {6, {Line(0, 0, 3, 0), Line(3, 0, 4, 1), Line(4, 1, 4, 2), Line(4, 2, 2, 2), Line(2, 2, 2, 3), Dot(2, 4)}},
    /* 32 64 (at sign) */ {6, {Line(2, 0, 2, 2), Line(2, 2, 4, 2), Line(4, 2, 4, 0), Line(4, 0, 0, 0), Line(0, 0, 0, 4), Line(0, 4, 4, 4)}},
    /* 33 65 (A) */ {4, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 4), Line(0, 2, 4, 2)}},
    /* 34 66 (B) */ {6, {Line(0, 0, 0, 4), Line(0, 0, 2, 0), Line(2, 0, 4, 2), Line(4, 2, 4, 4), Line(4, 4, 0, 4), Line(0, 2, 4, 2)}},
    /* 35 67 (C) */ {4, {Line(4, 0, 2, 0), Line(2, 0, 0, 2), Line(0, 2, 0, 4), Line(0, 4, 4, 4)}},
    /* 36 68 (D) */ {5, {Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(4, 4, 4, 2), Line(4, 2, 2, 0), Line(2, 0, 0, 0)}},
    /* 37 69 (E) */ {4, {Line(4, 0, 0, 0), Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(0, 2, 2, 2)}},
    /* 38 70 (F) */ {3, {Line(4, 0, 0, 0), Line(0, 0, 0, 4), Line(0, 2, 2, 2)}},
    /* 39 71 (G) */ {5, {Line(4, 0, 0, 0), Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(4, 4, 4, 2), Line(4, 2, 2, 2)}},
    /* 40 72 (H) */ {3, {Line(0, 0, 0, 4), Line(4, 0, 4, 4), Line(0, 2, 4, 2)}},
    /* 41 73 (I) */ {1, {Line(2, 0, 2, 4)}},
    /* 42 74 (J) */ {3, {Line(2, 0, 2, 4), Line(2, 4, 0, 4), Line(0, 4, 0, 2)}},
    /* 43 75 (K) */ {4, {Line(0, 0, 0, 4), Line(0, 2, 2, 2), Line(2, 2, 4, 0), Line(2, 2, 4, 4)}},
    /* 44 76 (L) */ {2, {Line(0, 0, 0, 4), Line(0, 4, 4, 4)}},
    /* 45 77 (M) */ {4, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 4), Line(2, 0, 2, 2)}},
    /* 46 78 (N) */ {3, {Line(0, 0, 0, 4), Line(4, 0, 4, 4), Line(0, 0, 4, 4)}},
    /* 47 79 (O) */ {4, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 4), Line(0, 4, 4, 4)}},
    /* 48 80 (P) */ {4, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 2), Line(4, 2, 0, 2)}},
    /* 49 81 (Q) */ {5, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 4), Line(4, 4, 0, 4), Line(2, 2, 4, 4)}},
    /* 50 82 (R) */ {5, {Line(0, 0, 0, 4), Line(0, 0, 4, 0), Line(4, 0, 4, 2), Line(0, 2, 4, 2), Line(2, 2, 4, 4)}},
    /* 51 83 (S) */ {5, {Line(0, 0, 0, 2), Line(0, 0, 4, 0), Line(0, 2, 4, 2), Line(4, 2, 4, 4), Line(4, 4, 0, 4)}},
    /* 52 84 (T) */ {2, {Line(2, 0, 2, 4), Line(0, 0, 4, 0)}},
    /* 53 85 (U) */ {3, {Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(4, 0, 4, 4)}},
    /* 54 86 (V) */ {4, {Line(0, 0, 0, 2), Line(0, 2, 2, 4), Line(2, 4, 4, 2), Line(4, 2, 4, 0)}},
    /* 55 87 (W) */ {4, {Line(0, 0, 0, 4), Line(0, 4, 4, 4), Line(4, 0, 4, 4), Line(2, 2, 2, 4)}},
    /* 56 88 (X) */ {2, {Line(0, 0, 4, 4), Line(4, 0, 0, 4)}},
    /* 57 89 (Y) */ {3, {Line(0, 0, 2, 2), Line(4, 0, 2, 2), Line(2, 2, 2, 4)}},
    /* 58 90 (Z) */ {3, {Line(0, 0, 4, 0), Line(4, 0, 0, 4), Line(0, 4, 4, 4)}},
    /* 59 91 (left bracket) */ {3, {Line(3, 0, 2, 0), Line(2, 0, 2, 4), Line(2, 4, 3, 4)}},
    /* 60 92 (backslash) */ {1, {Line(0, 0, 4, 4)}},
    /* 61 93 (right bracket) */ {3, {Line(2, 0, 3, 0), Line(3, 0, 3, 4), Line(3, 4, 2, 4)}},
    /* 62 94 (circumflex) */ {2, {Line(1, 1, 2, 0), Line(2, 0, 3, 1)}},
    /* 63 95 (underscore) */ {1, {Line(1, 2, 3, 2)}},
    /* 64 96 (grave accent) */ {1, {Line(1, 0, 2, 1)}},
    /* 91 196 (A with diaeresis) */ {6, {Line(0, 1, 0, 4), Line(0, 1, 4, 1), Line(4, 1, 4, 4), Line(0, 2, 4, 2), Dot(1, 0), Dot(3, 0)}},
    /* 92 214 (O with diaeresis) */ {6, {Line(0, 1, 0, 4), Line(0, 1, 4, 1), Line(4, 1, 4, 4), Line(0, 4, 4, 4), Dot(1, 0), Dot(3, 0)}},
    /* 93 220 (U with diaeresis) */ {5, {Line(0, 1, 0, 4), Line(0, 4, 4, 4), Line(4, 1, 4, 4), Dot(1, 0), Dot(3, 0)}},
    /* 94 228 (a with diaeresis) */ {6, {Line(0, 1, 0, 4), Line(0, 1, 4, 1), Line(4, 1, 4, 4), Line(0, 2, 4, 2), Dot(1, 0), Dot(3, 0)}},
    /* 95 246 (o with diaeresis) */ {6, {Line(0, 1, 0, 4), Line(0, 1, 4, 1), Line(4, 1, 4, 4), Line(0, 4, 4, 4), Dot(1, 0), Dot(3, 0)}},
    /* 96 252 (u with diaeresis) */ {5, {Line(0, 1, 0, 4), Line(0, 4, 4, 4), Line(4, 1, 4, 4), Dot(1, 0), Dot(3, 0)}},
    /* 97 223 (sharp s) */ {6, {Line(0, 4, 0, 0), Line(0, 0, 2, 0), Line(2, 0, 3, 1), Line(3, 1, 3, 3), Line(3, 3, 2, 4), Line(3, 2, 2, 2)}},
};

// The glyph index of a character: code - 32 for 32 to 122 (the lower-case
// letters taking the upper-case glyphs), 91 to 97 for the German letters,
// -1 for a character without a glyph.
int glyphIndex(unsigned char code) {
  if (code >= 'a' && code <= 'z') return code - 'a' + 'A' - 32;
  if (code >= 32 && code <= 122) return code - 32;
  switch (code) {
    case 0xC4: return 91;  // Ä
    case 0xD6: return 92;  // Ö
    case 0xDC: return 93;  // Ü
    case 0xE4: return 94;  // ä
    case 0xF6: return 95;  // ö
    case 0xFC: return 96;  // ü
    case 0xDF: return 97;  // ß
    default: return -1;
  }
}

// kGlyphs holds the glyphs 0 to 64, then 91 to 97.
const Glyph* glyphOf(unsigned char code) {
  const int index = glyphIndex(code);
  if (index < 0) return nullptr;
  return &kGlyphs[index <= 64 ? index : 65 + (index - 91)];
}

// One step beyond `to` in the direction from `from`: the platform leaves
// out a line's last pixel, so the glyph's end point needs one more.
int lengthened(int from, int to) { return to < from ? to - 1 : (to > from ? to + 1 : to); }

}  // namespace

void DrawStrokeText(Canvas& canvas, const char* text, int x, int y, int sx, int sy) {
  if (text == nullptr) return;
  for (const char* c = text; *c != '\0'; ++c, x += 6 << sx) {
    const Glyph* glyph = glyphOf(static_cast<unsigned char>(*c));
    if (glyph == nullptr) continue;
    for (int i = 0; i < glyph->count; ++i) {
      const Stroke& s = glyph->strokes[i];
      const int ax = x + (s.x1 << sx);
      const int ay = y + (s.y1 << sy);
      canvas.MoveTo(ax, ay);
      if (s.dot) {
        canvas.LineTo(ax + 1, ay);
      } else {
        const int bx = x + (s.x2 << sx);
        const int by = y + (s.y2 << sy);
        canvas.LineTo(lengthened(ax, bx), lengthened(ay, by));
      }
    }
  }
}

int StrokeTextWidth(const char* text, int s) {
  return text == nullptr ? 0 : static_cast<int>(std::strlen(text)) * (6 << s);
}
