#pragma once
// One printed page drawn onto a QPainter. The preview and the printer both draw through here, so
// what the preview shows is what comes out on paper. GUI thread only.
class QPainter;

namespace wnd {
struct Page;
struct PageItem;
}

namespace qtp {

// Draws the page's items (not the paper) with the paper's top-left corner at the painter's
// origin, at `pixelsPerMil` device pixels per thousandth of an inch. Fonts are sized from that
// scale alone, never from the device's own DPI, so a text takes the same share of the paper on
// any device. A rectangle side of 0 leaves the text unbounded that way.
// A text of one line wider than its place (a layout made for a narrower font than the one the
// machine draws it in) is drawn narrowed to fit, never cut.
void PaintPage(QPainter& painter, const wnd::Page& page, double pixelsPerMil);

// The width, in mils, a text item's widest line takes as painted (trailing blanks not counted).
double PaintedTextWidth(const wnd::PageItem& item);

}  // namespace qtp
